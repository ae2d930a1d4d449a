#pragma once
// A scripted operator: questions are answered from a queue (OK when it runs out,
// unless told otherwise), and every box and message pump is recorded.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/operator.h"

namespace tarvex::testkit {

class ScriptedOperator : public platform::Operator {
public:
    enum class Kind { Message, Question, Error };
    struct Box { Kind kind; std::string caption, text; };
    std::vector<Box> boxes;          // every box shown, in order
    std::deque<bool> answers;        // answers to the next questions
    std::deque<platform::Choice> choices;   // answers to the next Sim/Não/Cancelar boxes (Não when none)
    bool defaultAnswer = true;
    int pumps = 0;                   // processMessages() calls
    std::function<void()> onPump;    // runs inside processMessages()
    std::function<void()> onBox;     // runs while any box is open

    void message(const std::string& caption, const std::string& text) override {
        boxes.push_back({Kind::Message, caption, text});
        if (onBox) onBox();
    }
    bool question(const std::string& caption, const std::string& text) override {
        boxes.push_back({Kind::Question, caption, text});
        if (onBox) onBox();
        if (answers.empty()) return defaultAnswer;
        bool a = answers.front();
        answers.pop_front();
        return a;
    }
    platform::Choice choose(const std::string& caption, const std::string& text) override {
        boxes.push_back({Kind::Question, caption, text});
        if (onBox) onBox();
        if (choices.empty()) return platform::Choice::No;
        const platform::Choice c = choices.front();
        choices.pop_front();
        return c;
    }
    void error(const std::string& text) override {
        boxes.push_back({Kind::Error, "", text});
        if (onBox) onBox();
    }
    void processMessages() override {
        ++pumps;
        if (onPump) onPump();
    }

    std::vector<std::string> texts(Kind k) const {
        std::vector<std::string> out;
        for (const auto& b : boxes)
            if (b.kind == k) out.push_back(b.text);
        return out;
    }
    std::vector<std::string> messages() const { return texts(Kind::Message); }
    std::vector<std::string> questions() const { return texts(Kind::Question); }
    std::vector<std::string> errors() const { return texts(Kind::Error); }
};

// Installs an operator for the life of the scope.
class OperatorScope {
public:
    explicit OperatorScope(platform::Operator& o) { platform::setOperator(&o); }
    ~OperatorScope() { platform::setOperator(nullptr); }
    OperatorScope(const OperatorScope&) = delete;
    OperatorScope& operator=(const OperatorScope&) = delete;
};

}  // namespace tarvex::testkit
