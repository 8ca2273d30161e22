#pragma once
// Test stand-in for the message service: answers questions and prompts from a script, runs
// modal windows through a callback, and keeps what was shown.
#include "windows/shell/dialogs.h"

#include <gtest/gtest.h>

#include <QDialog>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace barqeen::test {

struct Shown {
    QString kind;  // "message", "warning", "warningYesNo", "confirm", "error", "input"
    QString text;
};

class ScriptedDialogs : public DialogService {
public:
    std::vector<Shown> shown;
    std::deque<bool> answers;                      // for Yes / No questions
    std::deque<std::optional<QString>> inputs;     // for the prompt; nullopt = Cancel
    std::function<int(QDialog&)> onModal;          // runs a modal window
    std::function<void(const Shown&)> whileShown;  // runs while a box is open, as a person waits

    void message(const QString& text) override { show({"message", text}); }
    void warning(const QString& text) override { show({"warning", text}); }
    bool warningYesNo(const QString& text) override { return answer("warningYesNo", text); }
    bool confirm(const QString& text) override { return answer("confirm", text); }
    void error(const QString& text) override { shown.push_back({"error", text}); }
    std::optional<QString> input(const QString& title, const QString& prompt, const QString& initial) override
    {
        shown.push_back({"input", title + "|" + prompt + "|" + initial});
        if (inputs.empty()) {
            ADD_FAILURE() << "unexpected prompt: " << prompt.toStdString();
            return std::nullopt;
        }
        std::optional<QString> next;
        next.swap(inputs.front());
        inputs.pop_front();
        return next;
    }
    int exec(QDialog& dialog) override
    {
        if (!onModal) {
            ADD_FAILURE() << "unexpected modal window: " << dialog.windowTitle().toStdString();
            return QDialog::Rejected;
        }
        return onModal(dialog);
    }

    QStringList texts(const QString& kind) const
    {
        QStringList out;
        for (const Shown& s : shown)
            if (s.kind == kind)
                out << s.text;
        return out;
    }

private:
    void show(const Shown& box)
    {
        shown.push_back(box);
        if (whileShown)
            whileShown(box);
    }
    bool answer(const QString& kind, const QString& text)
    {
        show({kind, text});
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << text.toStdString();
            return false;
        }
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
};

// Puts a scripted service in place for one test and restores the real one afterwards.
class ScriptedDialogsScope {
public:
    ScriptedDialogsScope()
    {
        auto owned = std::make_unique<ScriptedDialogs>();
        script_ = owned.get();
        previous_ = Dialogs::set(std::move(owned));
    }
    ~ScriptedDialogsScope() { Dialogs::set(std::move(previous_)); }
    ScriptedDialogs& operator*() { return *script_; }
    ScriptedDialogs* operator->() { return script_; }

private:
    ScriptedDialogs* script_;
    std::unique_ptr<DialogService> previous_;
};

}  // namespace barqeen::test
