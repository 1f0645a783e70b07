#pragma once
// Drives a widget on the offscreen platform as a user would: controls found
// by object name, typed into, clicked and tabbed through, files dropped; a
// dialog's end; Qt's warnings while alive.
#include "QtPrinting.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

namespace quire::test {

// Qt's warnings (a model tester's complaints, pixmaps used off the window's
// thread) while alive.
class QtWarnings {
public:
    QtWarnings() { s_messages.clear(), s_previous = qInstallMessageHandler(&collect); }
    ~QtWarnings() { qInstallMessageHandler(s_previous); }
    QStringList messages() const { return s_messages; }

private:
    static void collect(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        if (type != QtDebugMsg && type != QtInfoMsg && !message.contains("propagateSizeHints"))
            s_messages << message;
    }
    static inline QStringList s_messages;
    static inline QtMessageHandler s_previous = nullptr;
};

// Drags `urls` into the middle of `target` and drops them there; whether the drag was taken.
inline bool dropUrls(QWidget* target, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(target->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(target->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return enter.isAccepted();
}

// Clicks a list's row, twice for a double-click: a real one starts with a
// click, where QTest's sends only the second press.
inline void clickRow(QAbstractItemView* view, int row, bool twice = false)
{
    const QPoint at = view->visualRect(view->model()->index(row, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    if (twice)
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

// A dialog's controls and its end. Tests derive from the dialog and this,
// in that order: struct Chooser : SelectTemplateWindowDelegate, DialogDriver.
struct DialogDriver {
    QDialog& dialog;
    QSignalSpy ends{&dialog, &QDialog::finished};

    explicit DialogDriver(QDialog* d) : dialog(*d) {}
    // Opens the dialog window-modal, as the main window does.
    void openModal() const
    {
        dialog.open();
        QApplication::setActiveWindow(&dialog);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    template <typename W = QLineEdit>
    W* get(const char* name) const
    {
        W* w = dialog.findChild<W*>(QLatin1String(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    QString text(const char* field) const { return get(field)->text(); }
    void type(const char* field, const QString& text) const
    {
        get(field)->setFocus();
        get(field)->clear();
        QTest::keyClicks(get(field), text);
    }
    void click(const char* button) const { QTest::mouseClick(get<QAbstractButton>(button), Qt::LeftButton); }
    void key(Qt::Key k) const { QTest::keyClick(QApplication::focusWidget(), k); }
    static QString focused() { return QApplication::focusWidget()->objectName(); }
    // The focused control and those that Tab reaches from it, `count` presses.
    QStringList tabOrder(int count) const
    {
        QStringList order{focused()};
        for (int i = 0; i < count; ++i) {
            key(Qt::Key_Tab);
            order << focused();
        }
        return order;
    }
    // The dialog's result code once it finished; -1 while it is open.
    int endCode() const { return ends.isEmpty() ? -1 : ends.constFirst().constFirst().toInt(); }
};

} // namespace quire::test
