#pragma once

#include <QDialog>

#include <string>
#include <string_view>
#include <vector>

class QHBoxLayout;
class QPushButton;
class QStackedWidget;
class QVBoxLayout;

namespace quill {
class Session;
}

namespace quill::ui {

// The frame of a wizard: pages with a heading and lines of a language
// file, and Back, Next (Finish on the last page) and Cancel.
class WizardFrame : public QDialog {
    Q_OBJECT
public:
    int step() const { return step_; }
    QPushButton* backButton() const { return back_; }
    QPushButton* nextButton() const { return next_; }
    QPushButton* cancelButton() const { return cancel_; }

protected:
    WizardFrame(Session& session, std::string file, std::string section, QWidget* parent);
    // A page of the step's section: its "MAIN" in bold, then its lines;
    // the layout takes the page's own fields after them.
    QVBoxLayout* addPage(const std::string& stepSection, const std::vector<std::string>& lines);
    // Once every page has its fields: they keep to the top of the page.
    void finishPages();
    // A button of the wizard's own, at the far left of Back, Next and Cancel.
    void addLeadingButton(QPushButton* button);
    void showStep(int step);
    QString text(std::string_view section, std::string_view key) const;
    virtual void next() = 0;
    // The page shown; for a wizard whose pages are not all in a row.
    void showPage(int step, bool last);

    Session& session_;
    const std::string file_;
    const std::string section_;

private:
    QStackedWidget* pages_;
    std::vector<QVBoxLayout*> pageLayouts_;
    QHBoxLayout* buttons_;
    QPushButton* back_;
    QPushButton* next_;
    QPushButton* cancel_;
    int step_ = 1;
};

// The lines of a wizard's welcome and closing pages.
inline const std::vector<std::string> kWizardTextLines{"TEXT1", "TEXT2", "TEXT3", "TEXT4", "TEXT5"};

} // namespace quill::ui
