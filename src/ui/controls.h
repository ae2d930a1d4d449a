#pragma once
// The controls the core talks to. Each is a small model that holds its state and
// runs its event action the way the system expects (setting a check box from code
// runs its click action; changing an edit's text runs its change action). A view
// (the Win32 kit) attaches as an observer; the in-memory kit attaches none.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lib/cell_table.h"
#include "lib/window_size.h"
#include "platform/timer.h"

namespace tarvex::ui {

class Control;

// Told after a control's state changed from code, so a view can repaint.
class ControlView {
public:
    virtual ~ControlView() = default;
    virtual void changed(Control& control) = 0;
};

class Control {
public:
    explicit Control(std::string name) : name_(std::move(name)) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    bool visible() const { return visible_; }
    void setVisible(bool v) { if (v != visible_) { visible_ = v; notify(); } }
    bool enabled() const { return enabled_; }
    void setEnabled(bool e) { if (e != enabled_) { enabled_ = e; notify(); } }
    const std::string& hint() const { return hint_; }
    void setHint(std::string h) { hint_ = std::move(h); notify(); }
    int tag() const { return tag_; }
    void setTag(int t) { tag_ = t; }

    void attach(ControlView* view) { view_ = view; }

protected:
    void notify() { if (view_) view_->changed(*this); }

private:
    std::string name_;
    std::string hint_;
    bool visible_ = true;
    bool enabled_ = true;
    int tag_ = 0;
    ControlView* view_ = nullptr;
};

// Single-line or multi-line text field. Multi-line text uses CR LF between lines.
class Edit : public Control {
public:
    using Control::Control;
    const std::string& text() const { return text_; }
    // Runs onChange when the text changes, as a typed change does.
    void setText(std::string_view t) {
        if (t == text_) return;
        text_ = t;
        notify();
        if (onChange) onChange();
    }
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool r) { readOnly_ = r; }
    // A password's field shows dots in place of its characters.
    bool masked() const { return masked_; }
    void setMasked(bool m) { if (m != masked_) { masked_ = m; notify(); } }
    std::function<void()> onChange;

    // Multi-line helpers.
    std::vector<std::string> lines() const;
    void setLines(const std::vector<std::string>& lines);
    void addLine(const std::string& line);

private:
    std::string text_;
    bool readOnly_ = false;
    bool masked_ = false;
};
using Memo = Edit;

class Label : public Control {
public:
    using Control::Control;
    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& c) { if (c != caption_) { caption_ = c; notify(); } }
    std::function<void()> onClick;
    void click() { if (onClick) onClick(); }
private:
    std::string caption_;
};

class Button : public Label {
public:
    using Label::Label;
};

class CheckBox : public Control {
public:
    using Control::Control;
    bool checked() const { return checked_; }
    // A change of state, from code or by the operator, runs the click action.
    void setChecked(bool c) {
        if (c == checked_) return;
        checked_ = c;
        notify();
        if (onClick) onClick();
    }
    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& c) { caption_ = c; notify(); }
    std::function<void()> onClick;
private:
    bool checked_ = false;
    std::string caption_;
};

// A read-only table kept outside the grid (a long log): the grid asks it for the
// rows it shows instead of holding a copy of every cell.
class GridSource {
public:
    virtual ~GridSource() = default;
    virtual int rows() const = 0;
    // The cells of one row, `cols` of them.
    virtual void row(int r, std::vector<std::string>& cells) const = 0;
};

// A string grid: cells addressed (column, row), both from 0.
class Grid : public Control {
public:
    using Control::Control;
    int colCount() const { return cols_; }
    int rowCount() const { return rows_; }
    void setColCount(int n);
    void setRowCount(int n);
    // A cell's text stays valid until that cell is set or the grid is
    // assigned; a cell read from a source, until a cell of another row is read.
    // Inline for the common case: the agenda and the task file read every cell.
    std::string_view cell(int col, int row) const {
        if (source_ || col < 0 || row < 0 || col >= cols_ || row >= rows_) return cellAside(col, row);
        return cells_[static_cast<size_t>(row) * cols_ + col];
    }
    void setCell(int col, int row, std::string_view text);
    std::vector<std::string> rowCells(int row) const;
    void clearRow(int row);
    // Replaces size and content in one step (row-major cells, rows * cols of
    // them), so a long table is filled with one notification, not one per cell.
    void assign(int cols, int rows, CellTable cells);
    void assign(int cols, int rows, const std::vector<std::string>& cells);
    // Takes the size and cells of `other`, which is left empty.
    void assignFrom(Grid&& other) {
        other.takeInSource();
        assign(other.cols_, other.rows_, std::move(other.cells_));
        other.cols_ = other.rows_ = 0;
        other.cells_ = CellTable();
    }

    // Shows `source` read-only. Any change to the cells first copies the source in.
    void assignSource(int cols, std::shared_ptr<const GridSource> source);
    bool hasSource() const { return source_ != nullptr; }

    int colWidth(int col) const;
    void setColWidth(int col, int width);
    int defaultColWidth() const { return 64; }
    int width() const { return width_; }
    void setWidth(int w) { width_ = w; notify(); }
    int fixedRows = 1;
    int fixedCols = 1;
    int rowHeight = 16;

    int row() const { return row_; }      // selected row
    void setRow(int r) { row_ = r; notify(); }
    // Called from the view after the operator typed a cell's new text.
    void edited(int col, int row) {
        notify();
        if (onEdited) onEdited(col, row);
    }
    std::function<void(int col, int row, bool& canSelect)> onSelectCell;
    std::function<void(int col, int row)> onEdited;
    std::function<void()> onDblClick;
    // Rows the view shows in red (failures).
    std::function<bool(int row)> alertRow;

private:
    int cols_ = 0, rows_ = 0, row_ = 0, width_ = 0;
    CellTable cells_;                     // row-major, rows_ * cols_
    std::vector<int> widths_;
    std::shared_ptr<const GridSource> source_;
    mutable int sourceRow_ = -1;         // the row `sourceCells_` holds
    mutable std::vector<std::string> sourceCells_;
    void takeInSource();
    std::string_view cellAside(int col, int row) const;   // out of range, or from the source
};

// A message-driven timer. Setting the interval, or enabling, restarts the count.
class Timer : public Control, public platform::Timer {
public:
    using Control::Control;
    void start(int ms) override {
        setInterval(ms);
        setTimerEnabled(true);
    }
    void stop() override { setTimerEnabled(false); }
    bool counting() const override { return enabled_; }
    int interval() const { return interval_; }
    bool isEnabled() const { return enabled_; }
    void setInterval(int ms) { interval_ = ms; ++generation_; notify(); }
    void setTimerEnabled(bool e) { if (e != enabled_) { enabled_ = e; ++generation_; notify(); } }
    std::function<void()> onTimer;
    void fire() { if (enabled_ && onTimer) onTimer(); }
    // Bumps on every change that restarts the count; a host compares it.
    unsigned generation() const { return generation_; }
private:
    int interval_ = 1000;
    bool enabled_ = false;
    unsigned generation_ = 0;
};

// A page control: named pages, one active.
class Pages : public Control {
public:
    using Control::Control;
    void addPage(const std::string& pageName) { pages_.push_back(pageName); }
    const std::vector<std::string>& pages() const { return pages_; }
    const std::string& active() const { return active_; }
    // The tab strip; hidden, the pages are reached only through the window's buttons.
    bool tabsVisible() const { return tabsVisible_; }
    void setTabsVisible(bool v) { if (v != tabsVisible_) { tabsVisible_ = v; notify(); } }
    void show(const std::string& pageName) {
        if (pageName == active_) return;
        active_ = pageName;
        notify();
        if (onShow) onShow(pageName);
    }
    std::function<void(const std::string&)> onShow;
private:
    std::vector<std::string> pages_;
    std::string active_;
    bool tabsVisible_ = true;
};

// The notification-area icon: a hint and a picture index (0 at rest, 1 running,
// 2 a failure the operator has not seen), and the balloons it shows.
class Tray : public Control {
public:
    using Control::Control;
    int imageIndex() const { return image_; }
    void setImageIndex(int i) { if (i != image_) { image_ = i; notify(); } }
    std::function<void()> onClick;

    struct Balloon {
        std::string title, text;
        bool error = false;
    };
    void showBalloon(Balloon b) {
        balloon_ = std::move(b);
        ++balloons_;
        notify();
    }
    const Balloon& balloon() const { return balloon_; }   // the last one shown
    int balloonCount() const { return balloons_; }
    std::function<void()> onBalloonClick;
private:
    int image_ = 0;
    Balloon balloon_;
    int balloons_ = 0;
};

// A radio group or a drop-down list: items and the chosen index (-1 for none).
class ListBox : public Control {
public:
    using Control::Control;
    std::vector<std::string> items;
    int itemIndex() const { return index_; }
    void setItemIndex(int i) { if (i != index_) { index_ = i; notify(); if (onChange) onChange(); } }
    std::string selectedText() const { return index_ >= 0 && index_ < (int)items.size() ? items[index_] : std::string(); }
    // Refills the list from code: nothing chosen afterwards, no change action, a view repaints.
    void setItems(std::vector<std::string> v) { items = std::move(v); index_ = -1; notify(); }
    std::function<void()> onChange;
private:
    int index_ = -1;
};

// An editable drop-down list: a text the operator types or picks from the items.
// Picking an item sets the text (running onChange) and then runs onClick.
class ComboBox : public Edit {
public:
    using Edit::Edit;
    std::vector<std::string> items;
    void pick(int index) {
        if (index < 0 || index >= static_cast<int>(items.size())) return;
        setText(items[index]);
        if (onClick) onClick();
    }
    std::function<void()> onClick;
};

// A month calendar: the day it shows and its font size in points.
class Calendar : public Control {
public:
    using Control::Control;
    int year() const { return year_; }
    int month() const { return month_; }
    int day() const { return day_; }
    void setDate(int y, int m, int d) { year_ = y, month_ = m, day_ = d; notify(); }
    int fontSize() const { return fontSize_; }
    void setFontSize(int points) { if (points != fontSize_) { fontSize_ = points; notify(); } }
private:
    int year_ = 2000, month_ = 1, day_ = 1;
    int fontSize_ = 10;
};

// The main window itself as the core sees it.
class Window : public Control {
public:
    using Control::Control;
    enum class State { Normal, Minimized, Maximized };
    State state() const { return state_; }
    void setState(State s) { state_ = s; notify(); }
    void show() { setVisible(true); }
    void hide() { setVisible(false); }
    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& c) { caption_ = c; notify(); }

    struct Rect {
        int top = 10, left = 10, width = kDesignWidth, height = kDesignHeight;
        friend bool operator==(const Rect&, const Rect&) = default;
    };
    // The rectangle of the normal state, kept while minimised or maximised too, so
    // the settings never save the icon's or the screen's rectangle.
    const Rect& normalBounds() const { return normal_; }
    // From code: moves and sizes the window's normal state.
    void setNormalBounds(const Rect& r) { normal_ = r; notify(); }
    // From the view, after every move and size: only a normal-state rectangle is kept.
    void moved(const Rect& r, bool normalState) { if (normalState) normal_ = r; }
private:
    State state_ = State::Normal;
    std::string caption_;
    Rect normal_;
};

}  // namespace tarvex::ui
