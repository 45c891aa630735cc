#pragma once

// The main of every view test program: the page pane's address schemes are
// registered before the application exists, as the program's own main
// does, so that a test showing a page sees what a user sees.
#include "ui/PagePane.h"

#include <QApplication>
#include <QtTest>

#define QUILL_VIEW_TEST_MAIN(Tests)                                                                                    \
    int main(int argc, char** argv) {                                                                                  \
        quill::ui::PagePane::registerSchemes();                                                                        \
        QApplication app(argc, argv);                                                                                  \
        Tests tests;                                                                                                   \
        return QTest::qExec(&tests, argc, argv);                                                                       \
    }
