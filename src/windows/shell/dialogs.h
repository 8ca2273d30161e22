#pragma once
// Every message box, the one-line input prompt and every modal window go through this one
// service, so that tests can answer them and read back what was shown.
#include <QString>

#include <memory>
#include <optional>

class QDialog;

namespace barqeen {

// The caption of the plain and error boxes: the application's title.
inline const QString kAppTitle = QStringLiteral("Barqeen");

class DialogService {
public:
    virtual ~DialogService() = default;
    virtual void message(const QString& text) = 0;         // plain box: OK, no icon
    virtual void warning(const QString& text) = 0;         // warning kind, OK
    virtual bool warningYesNo(const QString& text) = 0;    // warning kind, Yes / No; true on Yes
    virtual bool confirm(const QString& text) = 0;         // confirmation kind, Yes / No
    virtual void error(const QString& text) = 0;           // an error that ended a handler
    // The one-line prompt; nullopt when cancelled.
    virtual std::optional<QString> input(const QString& title, const QString& prompt, const QString& initial) = 0;
    virtual int exec(QDialog& dialog) = 0;                 // a modal window; its result code
};

// The real boxes, with Arabic standard buttons.
class QtDialogs : public DialogService {
public:
    void message(const QString& text) override;
    void warning(const QString& text) override;
    bool warningYesNo(const QString& text) override;
    bool confirm(const QString& text) override;
    void error(const QString& text) override;
    std::optional<QString> input(const QString& title, const QString& prompt, const QString& initial) override;
    int exec(QDialog& dialog) override;
};

namespace Dialogs {
DialogService& get();
// Replaces the service (tests); returns the one it replaced.
std::unique_ptr<DialogService> set(std::unique_ptr<DialogService> service);

inline void message(const QString& text) { get().message(text); }
inline void warning(const QString& text) { get().warning(text); }
inline bool warningYesNo(const QString& text) { return get().warningYesNo(text); }
inline bool confirm(const QString& text) { return get().confirm(text); }
inline void error(const QString& text) { get().error(text); }
inline std::optional<QString> input(const QString& title, const QString& prompt, const QString& initial)
{
    return get().input(title, prompt, initial);
}
inline int exec(QDialog& dialog) { return get().exec(dialog); }
}  // namespace Dialogs

}  // namespace barqeen
