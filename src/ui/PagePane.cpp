#include "PagePane.h"

#include "PageAddress.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaObject>
#include <QPainter>
#include <QUrl>
#include <QUuid>
#include <QVBoxLayout>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>

#include <optional>

namespace quill::ui {
namespace {

constexpr char kCommandScheme[] = "command";
constexpr int kFocusFrame = 2;
// The form hook hands a submission over by navigating to this scheme, as
// Qt 6.4 gives neither acceptNavigationRequest nor a scheme handler the
// body of a post. Chromium drops addresses over 2 MB, which bounds what one
// submission can carry.
constexpr char kFormScheme[] = "quillform";

// Runs in the application's isolated world, so it works while the page's
// own scripts are off and the page cannot see or change it. The submission
// is serialised here because only the page knows the form's fields; the
// pane encodes them for the code page. The pressed button goes last: that
// is how the command executor recognises it.
constexpr char kFormHookSource[] = R"js(
(function () {
    'use strict';
    var target = '@SCHEME@:@TOKEN@/';
    var imageClick = null;

    window.addEventListener('click', function (event) {
        var element = event.target;
        imageClick = (element && element.nodeName === 'INPUT' && element.type === 'image')
            ? { element: element, x: Math.max(0, Math.round(event.offsetX)), y: Math.max(0, Math.round(event.offsetY)) }
            : null;
    }, true);

    window.addEventListener('submit', function (event) {
        var form = event.target;
        if (!form || form.nodeName !== 'FORM')
            return;
        var submitter = event.submitter || null;
        var method = submitter && submitter.hasAttribute('formmethod') ? submitter.formMethod : form.method;
        if (method === 'dialog')
            return;
        event.preventDefault();
        var action = submitter && submitter.hasAttribute('formaction') ? submitter.formAction : form.action;
        var fields = [];
        new FormData(form).forEach(function (value, name) {
            fields.push([name, typeof value === 'string' ? value : value.name]);
        });
        if (submitter && submitter.type === 'image') {
            var prefix = submitter.name ? submitter.name + '.' : '';
            var at = imageClick && imageClick.element === submitter ? imageClick : { x: 0, y: 0 };
            fields.push([prefix + 'x', String(at.x)], [prefix + 'y', String(at.y)]);
        } else if (submitter && submitter.name) {
            // Chromium posts an input button without a value attribute
            // under its default label.
            var value = submitter.nodeName === 'INPUT' && !submitter.hasAttribute('value') ? 'Submit' : submitter.value;
            fields.push([submitter.name, value]);
        }
        window.location.href = target + encodeURIComponent(JSON.stringify({ action: action, fields: fields }));
    }, true);
})();
)js";

// Nothing is ever fetched from the pane's schemes: navigations to them are
// cancelled before they start. The handler must exist all the same, or
// Chromium blocks the navigation before the page gets to see it; anything
// that does reach it (an image with such an address) is refused.
class RefusingSchemeHandler final : public QWebEngineUrlSchemeHandler {
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob* job) override { job->fail(QWebEngineUrlRequestJob::RequestDenied); }
};

QWebEngineProfile* paneProfile() {
    QWebEngineProfile* profile = QWebEngineProfile::defaultProfile();
    for (const char* scheme : {kCommandScheme, kFormScheme}) {
        if (!profile->urlSchemeHandler(scheme))
            profile->installUrlSchemeHandler(scheme, new RefusingSchemeHandler(profile));
    }
    return profile;
}

struct Submission {
    QByteArray action;
    QByteArray body;
};

// The form hook's navigation address: "quillform:TOKEN/" and the
// percent-encoded JSON {action, fields: [[name, value], ...]}.
std::optional<Submission> decodeSubmission(const QUrl& url, const QString& token) {
    const QByteArray encoded = url.toEncoded();
    const QByteArray prefix = QByteArray(kFormScheme) + ':' + token.toLatin1() + '/';
    if (!encoded.startsWith(prefix))
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromPercentEncoding(encoded.mid(prefix.size())));
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    QList<FormField> fields;
    for (const QJsonValue& field : object.value(QLatin1String("fields")).toArray()) {
        const QJsonArray pair = field.toArray();
        fields.append({pair.at(0).toString(), pair.at(1).toString()});
    }
    return Submission{executorAddress(object.value(QLatin1String("action")).toString().toUtf8()),
                      urlEncodedFormBody(fields)};
}

} // namespace

class PagePane::Page final : public QWebEnginePage {
public:
    Page(QWebEngineProfile* profile, PagePane* pane)
        : QWebEnginePage(profile, pane), pane_(pane), submitToken_(QUuid::createUuid().toString(QUuid::WithoutBraces)) {
    }

    const QString& submitToken() const { return submitToken_; }

    // Commands come only from the program's own pages on disk: an outside
    // page shown in the pane must not run them.
    bool showsLocalPage() const { return url().isLocalFile(); }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        const QString scheme = url.scheme();
        if (scheme == QLatin1String(kCommandScheme)) {
            if (showsLocalPage())
                pane_->deliver(executorAddress(url.toEncoded()), {});
            return false;
        }
        if (scheme == QLatin1String(kFormScheme)) {
            // The token keeps a link on the page that merely looks like
            // the form hook's address from posting a form.
            if (const auto submission = decodeSubmission(url, submitToken_); submission && showsLocalPage())
                pane_->deliver(submission->action, submission->body);
            return false;
        }
        // The form hook cancels every submission; one that gets here would
        // leave the page without its fields reaching the executor.
        if (type == NavigationTypeFormSubmitted)
            return false;
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    }

private:
    PagePane* pane_;
    const QString submitToken_;
};

PagePane::PagePane(QWidget* parent) : QWidget(parent) {
    view_ = new QWebEngineView(this);
    page_ = new Page(paneProfile(), this);

    QWebEngineSettings* settings = page_->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    // Pages that do not name their code page are still the program's own.
    settings->setDefaultTextEncoding(QStringLiteral("windows-1250"));

    QWebEngineScript formHook;
    formHook.setName(QStringLiteral("quill-form-hook"));
    formHook.setWorldId(QWebEngineScript::ApplicationWorld);
    formHook.setInjectionPoint(QWebEngineScript::DocumentCreation);
    formHook.setRunsOnSubFrames(true);
    formHook.setSourceCode(QString::fromLatin1(kFormHookSource)
                               .replace(QLatin1String("@SCHEME@"), QLatin1String(kFormScheme))
                               .replace(QLatin1String("@TOKEN@"), page_->submitToken()));
    page_->scripts().insert(formHook);

    // A link with a target opens no window of its own; commands still run
    // and other pages show in this pane.
    connect(page_, &QWebEnginePage::newWindowRequested, this, [this](QWebEngineNewWindowRequest& request) {
        const QUrl url = request.requestedUrl();
        if (url.scheme() == QLatin1String(kCommandScheme)) {
            if (page_->showsLocalPage())
                deliver(executorAddress(url.toEncoded()), {});
        } else
            page_->load(url);
    });

    view_->setPage(page_);
    auto* layout = new QVBoxLayout(this);
    // Room for the frame that shows where the keyboard is: the page draws
    // no focus of its own until Tab reaches a link.
    layout->setContentsMargins(kFocusFrame, kFocusFrame, kFocusFrame, kFocusFrame);
    layout->addWidget(view_);
    setFocusProxy(view_);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        const bool inPage = now && (now == view_ || view_->isAncestorOf(now));
        if (inPage != focused_) {
            focused_ = inPage;
            update();
        }
    });
}

void PagePane::paintEvent(QPaintEvent*) {
    if (!focused_)
        return;
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Highlight), kFocusFrame);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.drawRect(
        QRectF(rect()).adjusted(kFocusFrame / 2.0, kFocusFrame / 2.0, -kFocusFrame / 2.0, -kFocusFrame / 2.0));
}

// Children go in the order they were made: the view before the page it
// shows, as the web engine wants.
PagePane::~PagePane() = default;

void PagePane::registerSchemes() {
    for (const char* name : {kCommandScheme, kFormScheme}) {
        if (QWebEngineUrlScheme::schemeByName(name).name().isEmpty()) {
            QWebEngineUrlScheme scheme(name);
            scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
            QWebEngineUrlScheme::registerScheme(scheme);
        }
    }
}

void PagePane::showPage(const QString& filePath) {
    page_->load(QUrl::fromLocalFile(filePath));
}

void PagePane::setCommandHandler(CommandHandler handler) {
    handler_ = std::move(handler);
}

void PagePane::deliver(const QByteArray& address, const QByteArray& formBody) {
    QMetaObject::invokeMethod(
        this,
        [this, address, formBody] {
            emit commandRequested(address, formBody);
            // A copy, so that the handler may replace itself.
            const CommandHandler handler = handler_;
            if (handler)
                handler(address, formBody);
        },
        Qt::QueuedConnection);
}

} // namespace quill::ui
