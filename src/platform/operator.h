#pragma once
// How the system talks to the operator and lets the message loop breathe.
// The product shows real message boxes; tests script the answers.
#include <functional>
#include <string>

namespace tarvex::platform {

// The answer to a question with Sim, Não and Cancelar.
enum class Choice { Yes, No, Cancel };

class Operator {
public:
    virtual ~Operator() = default;
    // Modal box with one OK button; returns when the operator closes it.
    virtual void message(const std::string& caption, const std::string& text) = 0;
    // Modal box with OK and Cancel; true only for OK.
    virtual bool question(const std::string& caption, const std::string& text) = 0;
    // OK and Cancel with Cancelar the default button, for a step that is hard to
    // undo: an Enter pressed by mistake keeps things as they are.
    virtual bool carefulQuestion(const std::string& caption, const std::string& text) {
        return question(caption, text);
    }
    // A box with OK that does not hold the caller: it stays until the operator closes it.
    virtual void notice(const std::string& caption, const std::string& text) { message(caption, text); }
    // OK and Cancel without holding the caller: `answered` (true for OK) is called
    // later on the window's thread, while messages are processed. Returns the
    // question's number for withdraw().
    virtual int askLater(const std::string& caption, const std::string& text,
                         std::function<void(bool ok)> answered) {
        answered(question(caption, text));
        return 0;
    }
    // Takes a question of askLater off the screen unanswered; `answered` is not called.
    virtual void withdraw(int question) { (void)question; }
    // Modal box with Sim, Não and Cancelar.
    virtual Choice choose(const std::string& caption, const std::string& text) = 0;
    // The application's general error box (errors no routine caught).
    virtual void error(const std::string& text) = 0;
    // Let pending window messages be processed (timers may fire in here).
    virtual void processMessages() = 0;
    // Keeps the window answering until `done` (work of another thread) holds,
    // calling `tick` a few times a second and once at the end. Once the
    // program is asked to end, the rest is a plain wait.
    virtual void waitUntil(const std::function<bool()>& done, const std::function<void()>& tick);
};

// Used when nothing was installed: messages go to standard error, questions answer OK
// (and Sim).
class ConsoleOperator : public Operator {
public:
    void message(const std::string& caption, const std::string& text) override;
    bool question(const std::string& caption, const std::string& text) override;
    Choice choose(const std::string& caption, const std::string& text) override;
    void error(const std::string& text) override;
    void processMessages() override {}
};

Operator& op();
void setOperator(Operator* o);  // nullptr restores the console operator

// The application's title, the caption of MRQ_MSG's box.
const std::string& appTitle();
void setAppTitle(const std::string& title);

}  // namespace tarvex::platform
