#pragma once

#include "session/Logon.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace quill {
class RegistryStore;
class Session;
} // namespace quill

namespace quill::ui {

// The logon view: data point, logon name and password, and the wish to be
// logged on automatically next time. exec() returns Accepted after a
// logon, Rejected after Cancel, and kEndProgram when an attempt ended in a
// way that ends the program.
class LoginForm final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kEndProgram = 2;
    static constexpr int kCollapsedHeight = 213;
    static constexpr int kExpandedHeight = 285;
    static constexpr int kDataPointTextWidth = 200;
    static constexpr int kAutoLogonDelayMs = 3000;

    LoginForm(Session& session, RegistryStore& registry, QWidget* parent = nullptr);

    // Asks for a folder, starting at the given one; empty when cancelled.
    using FolderChooser = std::function<QString(QWidget* parent, const QString& start)>;
    void setFolderChooser(FolderChooser chooser) { chooseFolder_ = std::move(chooser); }

    int failedAttempts() const { return failedAttempts_; }
    LogonOutcome lastOutcome() const { return lastOutcome_; }
    bool autoLogonPending() const;
    bool expanded() const { return height() == kExpandedHeight; }
    QComboBox* dataPointBox() const { return dataPoint_; }

public slots:
    void attemptLogon();
    void browseForDataPoint();
    void toggleExpanded();
    void reject() override;

private:
    QString text(const char* key) const;
    void fillDataPointBox();
    void selectDataPoint(int index);
    void setUpAutoLogon(bool startWhenWanted);
    void stopAutoLogon();

    Session& session_;
    RegistryStore& registry_;
    FolderChooser chooseFolder_;
    int failedAttempts_ = 0;
    LogonOutcome lastOutcome_ = LogonOutcome::NoUser;
    bool attempting_ = false;

    QLineEdit* logonName_;
    QLineEdit* password_;
    QComboBox* dataPoint_;
    QPushButton* browse_;
    QCheckBox* autoLogon_;
    QLabel* autoLogonTip_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QPushButton* more_;
    QTimer* autoLogonTimer_;
};

} // namespace quill::ui
