// Pictures from the data point's resources: transparency by the
// bottom-left pixel, and indexes that agree with the name table whatever
// the pictures' sizes.
#include "ViewTestMain.h"

#include "ui/ImageLists.h"
#include "ui/ProgramIcon.h"
#include "ui/ViewSupport.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

namespace quill::ui {

class ImageListsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    // A square picture of size, magenta with a blue dot in its middle.
    QString picture(const QString& relative, int size) {
        const QString file = dir_.filePath(relative);
        QDir().mkpath(QFileInfo(file).absolutePath());
        QImage image(size, size, QImage::Format_RGB32);
        image.fill(QColor(255, 0, 255));
        image.setPixel(size / 2, size / 2, qRgb(0, 0, 255));
        if (!image.save(file, "BMP"))
            qFatal("cannot write %s", qPrintable(file));
        return file;
    }

private slots:
    void bottomLeftColourBecomesTransparent() {
        const QPixmap masked = maskedPicture(picture("a.bmp", 16));
        const QImage image = masked.toImage();
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(8, 8)), 255);
        QCOMPARE(QColor(image.pixel(8, 8)), QColor(0, 0, 255));
        QVERIFY(maskedPicture(dir_.filePath("missing.bmp")).isNull());
    }

    void largerPicturesKeepTheIndexesInStep() {
        ImageNameTable names;
        const std::pair<const char*, int> pictures[] = {
            {"ROOT.BMP", 16}, {"BIG.BMP", 32}, {"HUGE.BMP", 48}, {"USER.BMP", 16}};
        for (const auto& [name, size] : pictures)
            names.entries.push_back({name, picture(QString("tree/") + name, size).toStdString()});
        ImageLists lists;
        lists.loadTreeImages(names);
        QCOMPARE(lists.smallTreeImages().size(), 4);
        QCOMPARE(lists.largeTreeImages().size(), 4);
        for (const QPixmap& small : lists.smallTreeImages())
            QCOMPARE(small.width(), 16);
        QCOMPARE(lists.largeTreeImages().at(1).width(), 32);
        QVERIFY(!lists.treeIcon(names.imageIndex("user.bmp")).isNull());
        QVERIFY(lists.treeIcon(99).isNull());
    }

    void everyPictureHasASharpDoubleForAScreenScaledByTwo() {
        ImageLists lists;
        picture("doubles/GUI/ToolBarPanel/A01.bmp", 24);
        lists.loadToolbarImages(dir_.filePath("doubles").toStdString());
        ImageNameTable names;
        names.entries.push_back({"SMALL.BMP", picture("small.bmp", 16).toStdString()});
        lists.loadTreeImages(names);
        // Without a double of its own, Qt hands out the small picture and
        // the painter stretches it pixel by pixel.
        const struct {
            const char* name;
            QIcon icon;
            int size;
        } rows[] = {
            {"toolbar", toolbarIcon(lists, 1), 24},
            {"tree", lists.treeIcon(0), 16},
            {"tree, large", lists.treeIcon(0), 32},
            {"the program's own", programIcon(), 32},
            {"the program's own, largest", programIcon(), 128},
        };
        for (const auto& row : rows) {
            const QPixmap shown = row.icon.pixmap(QSize(row.size, row.size), 2.0);
            QVERIFY2(shown.size() == QSize(2 * row.size, 2 * row.size), row.name);
            QVERIFY2(qFuzzyCompare(shown.devicePixelRatio(), 2.0), row.name);
        }
    }

    void toolbarKindWithoutPicturesKeepsItsList() {
        const QString resources = dir_.filePath("res");
        picture("res/GUI/ToolBarPanel/A1.bmp", 24);
        picture("res/GUI/ToolBarPanel/A2.bmp", 24);
        ImageLists lists;
        lists.loadToolbarImages(resources.toStdString());
        QCOMPARE(lists.toolbarImages('A').size(), 2);
        QCOMPARE(lists.toolbarImages('B').size(), 0);
        QDir(dir_.filePath("res/GUI/ToolBarPanel")).removeRecursively();
        QDir().mkpath(dir_.filePath("res/GUI/ToolBarPanel"));
        lists.loadToolbarImages(resources.toStdString());
        QCOMPARE(lists.toolbarImages('A').size(), 2);
    }
};

} // namespace quill::ui

QUILL_VIEW_TEST_MAIN(quill::ui::ImageListsTest)

#include "ImageListsTest.moc"
