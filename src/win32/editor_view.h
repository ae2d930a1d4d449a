#pragma once
// The Tarefas screen: the toolbar, the task list on the left and the task editor
// on the right (the general panel above the type pages), each control bound to
// its model by name.
#include <functional>
#include <memory>

#include "app/main_form.h"
#include "win32/ui_base.h"

namespace tarvex::win32 {

// Takes a view for the window to keep as long as its page lives.
using KeepView = std::function<void(std::unique_ptr<View>)>;

// Builds the screen on `page` and gives the model the real folder and file dialogs.
void buildTarefasPage(app::MainForm& form, Panel& page, const KeepView& keep);

// The type pages on their page control (editor_view_pages.cpp).
class PagesView;
void buildTypePages(app::MainForm& form, PagesView& pages, const KeepView& keep);

}  // namespace tarvex::win32
