#pragma once

#include "WizardFrame.h"

#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace quill::ui {

class ImageLists;

// Connects one more folder to the top of the user's tree: an existing
// folder of the data point, or a new one it makes with its settings.
class UserFoldersWizard final : public WizardFrame {
    Q_OBJECT
public:
    UserFoldersWizard(Session& session, ImageLists& images, QWidget* parent = nullptr);
    // The folder to connect; nothing when cancelled or when it could not
    // be made. connected is the list it joins, so that no folder is
    // connected twice.
    std::optional<std::string> run(const std::vector<std::string>& connected);

    QRadioButton* createChoice() const { return create_; }
    QLineEdit* field(const char* name) const;
    QCheckBox* lockBox() const { return lock_; }

private:
    void next() override;
    void fillSettings();

    ImageLists& images_;
    QRadioButton* connect_;
    QRadioButton* create_;
    QCheckBox* lock_;
    std::vector<std::string> connected_;
    std::optional<std::string> answer_;
};

} // namespace quill::ui
