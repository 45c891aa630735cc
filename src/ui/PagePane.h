#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <functional>

class QWebEngineView;

namespace quill::ui {

// Shows the program's HTML pages (cp1250 files on disk) and turns what the
// user does on them into commands instead of navigation: a click on a
// "COMMAND:..." link, or the submission of any form. Page scripts never run;
// ordinary file: links and images behave as in a browser.
class PagePane : public QWidget {
    Q_OBJECT
public:
    // address: the link's address or the form's action, as cp1250 bytes.
    // formBody: the form's fields url-encoded as a browser posts them from
    // a windows-1250 page, the pressed button last; empty for links.
    using CommandHandler = std::function<void(const QByteArray& address, const QByteArray& formBody)>;

    explicit PagePane(QWidget* parent = nullptr);
    ~PagePane() override;

    // The web engine learns of the schemes the pane listens on only when
    // they are registered before the QApplication is constructed.
    static void registerSchemes();

    void showPage(const QString& filePath);

    // Called after commandRequested, from the event loop rather than from
    // inside the web engine's navigation, so that it may show another page.
    void setCommandHandler(CommandHandler handler);

    QWebEngineView* view() const { return view_; }
    // Whether the keyboard is in the page: the pane then draws a frame.
    bool showsFocus() const { return focused_; }

signals:
    void commandRequested(const QByteArray& address, const QByteArray& formBody);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    class Page;

    void deliver(const QByteArray& address, const QByteArray& formBody);

    QWebEngineView* view_ = nullptr;
    Page* page_ = nullptr;
    CommandHandler handler_;
    bool focused_ = false;
};

} // namespace quill::ui
