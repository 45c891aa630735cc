#pragma once

#include <QMainWindow>

namespace quill {
class Session;
}

namespace quill::ui {

// The main window. It is created before the logon and shown only after a
// successful one; closing it shuts the session down (geometry, working
// copy, logs).
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Session& session, QWidget* parent = nullptr);

    // Fills the window for the logged-on user; called once after logon.
    void prepareForUser();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Session& session_;
    bool shutDown_ = false;
};

} // namespace quill::ui
