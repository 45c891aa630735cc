#include "FindView.h"

#include "FailureMessage.h"
#include "ImageLists.h"
#include "QtText.h"
#include "TypedText.h"
#include "ViewSupport.h"

#include "navigation/Find.h"
#include "navigation/FindSession.h"
#include "navigation/GoTo.h"
#include "navigation/MainTree.h"
#include "session/Session.h"
#include "session/FormHelp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quill::ui {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kGroupRole = Qt::UserRole + 1;
constexpr int kKindRole = Qt::UserRole + 2;
// How often found documents are taken from the walk and shown.
constexpr int kPollMs = 30;
// How long one turn may spend showing them.
constexpr std::chrono::milliseconds kShowBudget{20};

} // namespace

FindView::FindView(Session& session, const ImageLists& images, const MainTree& tree, QWidget* parent)
    : QDialog(parent), session_(session), images_(images), tree_(tree), pages_(new QTabWidget(this)),
      text_(new QLineEdit(this)), kind_(new QComboBox(this)), results_(new QTreeWidget(this)),
      progress_(new QLabel(this)), poll_(new QTimer(this)), search_(std::make_unique<FindSession>(session)) {
    setObjectName("TFind_Form");
    const auto text = [&session](const char* key) { return languageText(session, "FIND_FORM", key); };
    setWindowTitle(text("TITLE"));
    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    QAction* close = addToolButton(bar, session, images, 10, "Close");
    find_ = addToolButton(bar, session, images, 6, "Find");
    find_->setCheckable(true);
    goTo_ = addToolButton(bar, session, images, 28, "GoTo");
    goTo_->setEnabled(false);
    bar->addSeparator();
    QAction* help = addToolButton(bar, session, images, 19, "Help");
    connect(close, &QAction::triggered, this, &QDialog::accept);
    connect(find_, &QAction::triggered, this, [this] { toggleSearch(); });
    connect(goTo_, &QAction::triggered, this, [this] { goToFocused(); });
    connect(help, &QAction::triggered, this, [this] { openFormHelp(session_, "FINDFORM_HELPBUTTON"); });
    for (auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* closeKey = new QShortcut(QKeySequence(Qt::CTRL | key), this);
        connect(closeKey, &QShortcut::activated, this, &QDialog::accept);
    }

    // The request page.
    text_->setObjectName("Text");
    kind_->setObjectName("Kind");
    for (const FindKind& kind : findKinds(session))
        kind_->addItem(images.treeIcon(kind.imageName), toQt(kind.caption));
    allFolders_ = new QRadioButton(text("RADIOBUTTON1"), this);
    allFolders_->setObjectName("AllFolders");
    selectedFolder_ = new QRadioButton(text("RADIOBUTTON2"), this);
    selectedFolder_->setObjectName("SelectedFolder");
    subfolders_ = new QCheckBox(text("CHECKBOX1"), this);
    subfolders_->setObjectName("Subfolders");
    subfolders_->setChecked(true);
    allFolders_->setChecked(true);
    subfolders_->setEnabled(false);
    connect(selectedFolder_, &QRadioButton::toggled, subfolders_, &QCheckBox::setEnabled);
    auto* request = new QWidget(this);
    auto* what = new QGroupBox(text("GROUPBOX1"), request);
    auto* whatLayout = new QFormLayout(what);
    whatLayout->addRow(text("LABEL1"), text_);
    whatLayout->addRow(text("LABEL2"), kind_);
    auto* where = new QGroupBox(text("GROUPBOX2"), request);
    auto* whereLayout = new QVBoxLayout(where);
    whereLayout->addWidget(new QLabel(text("LABEL3"), where));
    whereLayout->addWidget(allFolders_);
    whereLayout->addWidget(selectedFolder_);
    whereLayout->addWidget(subfolders_);
    auto* requestLayout = new QVBoxLayout(request);
    requestLayout->addWidget(what);
    requestLayout->addWidget(where);
    requestLayout->addStretch();

    // The results page.
    results_->setObjectName("Results");
    results_->setHeaderHidden(true);
    results_->setIconSize(QSize(16, 16));
    connect(results_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item)
            setFocusedGroup(item->data(0, kGroupRole).toInt());
    });
    for (auto signal : {&QTreeWidget::itemExpanded, &QTreeWidget::itemCollapsed})
        connect(results_, signal, this,
                [this](QTreeWidgetItem* item) { setFocusedGroup(item->data(0, kGroupRole).toInt()); });
    connect(results_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (editDocument)
            editDocument(fromQt(item->data(0, kPathRole).toString()));
    });
    progress_->setObjectName("Progress");
    auto* found = new QWidget(this);
    auto* foundLayout = new QVBoxLayout(found);
    foundLayout->addWidget(results_);
    foundLayout->addWidget(progress_);

    pages_->addTab(request, text("TABSHEET1"));
    pages_->addTab(found, text("TABSHEET2"));
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    layout->addWidget(pages_);
    // Enter anywhere in the view starts the search or stops it.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);

    poll_->setInterval(kPollMs);
    connect(poll_, &QTimer::timeout, this, [this] { takeFound(); });
    resize(520, 520);
    restorePlace(this, session.context.geometry.find);
}

// The session stops and joins its walk as it goes.
FindView::~FindView() = default;

bool FindView::searching() const {
    return search_->running();
}

void FindView::showFor(const std::string& actualFolder) {
    actualFolder_ = actualFolder;
    selectedFolder_->setEnabled(!actualFolder.empty());
    pages_->setCurrentIndex(0);
    text_->setFocus();
    exec();
}

bool FindView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier) {
            toggleSearch();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FindView::toggleSearch() {
    if (searching())
        stop();
    else
        start();
}

void FindView::start() {
    // A letter the code page lacks would be searched as '?' and find
    // every question mark.
    const auto text = storableText(session_, this, text_->text());
    if (!text) {
        find_->setChecked(false);
        return;
    }
    find_->setChecked(true);
    goTo_->setEnabled(true);
    pages_->setCurrentIndex(1);
    results_->clear();
    groups_ = 0;
    const bool selectedOnly = selectedFolder_->isChecked() && !actualFolder_.empty();
    search_->start(findScopes(tree_, selectedOnly ? actualFolder_ : std::string(), subfolders_->isChecked()), *text,
                   findKindFilter(session_, kind_->currentIndex()));
    setCursor(Qt::BusyCursor);
    poll_->start();
}

void FindView::stop() {
    search_->stop();
    takeFound();
}

void FindView::takeFound() {
    const bool done = search_->take(kShowBudget, [this](const std::string& document) { addGroup(document); });
    if (search_->started()) {
        const auto counted = [this](std::uint64_t count, const char* key) {
            return toQt(session_.texts.lookupCounted(count, "FIND_FORM", key, "GUI"));
        };
        const FindProgress progress = search_->progress();
        const auto folders = static_cast<std::uint64_t>(progress.folders);
        const auto files = static_cast<std::uint64_t>(progress.files);
        const auto groups = static_cast<std::uint64_t>(progress.documents);
        progress_->setText(QStringLiteral("%1 %2 %3, %4 %5; %6 %7")
                               .arg(languageText(session_, "FIND_FORM", "PROGRESS1"))
                               .arg(folders)
                               .arg(counted(folders, "PROGRESS2"))
                               .arg(files)
                               .arg(counted(files, "PROGRESS3"))
                               .arg(groups)
                               .arg(counted(groups, "PROGRESS4")));
    }
    if (!done)
        return;
    poll_->stop();
    find_->setChecked(false);
    unsetCursor();
}

void FindView::addGroup(const std::string& document) {
    const FoundDocument found = describeFound(session_, tree_, document);
    const QString path = toQt(found.path);
    const int group = groups_++;
    const auto tagged = [&](QTreeWidgetItem* row, int kind) {
        row->setData(0, kPathRole, path);
        row->setData(0, kGroupRole, group);
        row->setData(0, kKindRole, kind);
        return row;
    };
    auto* top = tagged(new QTreeWidgetItem(results_, {toQt(found.name)}), 0);
    top->setIcon(0, images_.treeIcon(found.imageName));
    QFont bold = top->font(0);
    bold.setBold(true);
    top->setFont(0, bold);
    const auto text = [this](const char* key) { return languageText(session_, "FIND_FORM", key) + " "; };
    const std::pair<QString, const char*> details[] = {
        {text("TASKOWNER") + toQt(found.owner), "OWNER.BMP"},
        {text("TASKTIME") + toQt(found.date), "DATE.BMP"},
        {text("TASKGO") + toQt(found.location), "GO.BMP"},
    };
    int kind = 1;
    for (const auto& [caption, image] : details)
        tagged(new QTreeWidgetItem(top, {caption}), kind++)->setIcon(0, images_.treeIcon(image));
    if (group == 0) {
        results_->setCurrentItem(top);
        top->setExpanded(true);
    }
}

void FindView::setFocusedGroup(int group) {
    highlightGroup(results_, kGroupRole, group);
}

void FindView::goToFocused() {
    QTreeWidgetItem* row = results_->currentItem();
    if (!row || !goTo)
        return;
    const Result<GoToTarget> target = goToTarget(session_, tree_, fromQt(row->data(0, kPathRole).toString()));
    if (!target) {
        reportFailure(session_, target, "FIND_FORM", 1, MessageKind::Warning);
        return;
    }
    if (!goTo(target->document, target->location)) {
        session_.warn(MessageKind::Warning, "FIND_FORM", 1);
        return;
    }
    accept();
}

void FindView::done(int result) {
    stop();
    poll_->stop();
    find_->setChecked(false);
    unsetCursor();
    session_.context.geometry.find = placeOf(this);
    QDialog::done(result);
}

} // namespace quill::ui
