// The frame every wizard shares: its pages and Back, Next and Cancel.
#include "WizardFrame.h"

#include "ViewSupport.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace quill::ui {

WizardFrame::WizardFrame(Session& session, std::string file, std::string section, QWidget* parent)
    : QDialog(parent), session_(session), file_(std::move(file)), section_(std::move(section)),
      pages_(new QStackedWidget(this)) {
    setWindowTitle(text(section_, "CAPTION"));
    back_ = new QPushButton(text(section_, "BUTTON_BACK"), this);
    back_->setObjectName("Back");
    next_ = new QPushButton(text(section_, "BUTTON_NEXT"), this);
    next_->setObjectName("Next");
    cancel_ = new QPushButton(text(section_, "BUTTON_CANCEL"), this);
    cancel_->setObjectName("Cancel");
    for (QPushButton* button : {back_, next_, cancel_})
        button->setAutoDefault(false);
    connect(back_, &QPushButton::clicked, this, [this] { showStep(step_ - 1); });
    connect(next_, &QPushButton::clicked, this, [this] { next(); });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    buttons_ = new QHBoxLayout;
    buttons_->addStretch();
    buttons_->addWidget(back_);
    buttons_->addWidget(next_);
    buttons_->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_, 1);
    layout->addLayout(buttons_);
    resize(500, 380);
}

QString WizardFrame::text(std::string_view section, std::string_view key) const {
    return languageText(session_, section, key, file_);
}

QVBoxLayout* WizardFrame::addPage(const std::string& stepSection, const std::vector<std::string>& lines) {
    auto* page = new QWidget(pages_);
    auto* layout = new QVBoxLayout(page);
    auto* heading = new QLabel(text(stepSection, "MAIN"), page);
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    heading->setFont(bold);
    layout->addWidget(heading);
    for (const std::string& key : lines) {
        if (const QString line = text(stepSection, key); !line.isEmpty()) {
            auto* label = new QLabel(line, page);
            label->setWordWrap(true);
            layout->addWidget(label);
        }
    }
    pages_->addWidget(page);
    pageLayouts_.push_back(layout);
    return layout;
}

void WizardFrame::finishPages() {
    for (QVBoxLayout* layout : pageLayouts_)
        layout->addStretch();
}

void WizardFrame::addLeadingButton(QPushButton* button) {
    button->setAutoDefault(false);
    buttons_->insertWidget(0, button);
}

void WizardFrame::showStep(int step) {
    step = std::clamp(step, 1, pages_->count());
    showPage(step, step == pages_->count());
}

void WizardFrame::showPage(int step, bool last) {
    step_ = std::clamp(step, 1, pages_->count());
    pages_->setCurrentIndex(step_ - 1);
    back_->setEnabled(step_ > 1);
    next_->setEnabled(true);
    next_->setText(text(section_, last ? "BUTTON_FINISH" : "BUTTON_NEXT"));
}

} // namespace quill::ui
