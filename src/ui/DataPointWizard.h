#pragma once

#include "WizardFrame.h"

class QCheckBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QProgressBar;

namespace quill::ui {

// Creates a new data point from the system part of the current one: the
// creator, the directory (which must exist), the root and users
// directories and the automatic logon, then the copy with its progress.
class CreateDataPointWizard final : public WizardFrame {
    Q_OBJECT
public:
    explicit CreateDataPointWizard(Session& session, QWidget* parent = nullptr);
    // Whether a data point was created; it is then the actual entry of the
    // known list.
    bool run();

    QLineEdit* field(const char* name) const;
    QCheckBox* autoLogonBox() const { return autoLogon_; }
    QLabel* resultText() const { return result_; }

private:
    void next() override;
    void create();
    QString summary() const;
    QHBoxLayout* browseRow(QLineEdit* box, const char* section, const char* key);

    QCheckBox* autoLogon_;
    QLabel* summary_;
    QLabel* progressText_;
    QProgressBar* progress_;
    QLabel* resultHeading_;
    QLabel* result_;
    QPushButton* cancel_ = nullptr;
    bool created_ = false;
};

} // namespace quill::ui
