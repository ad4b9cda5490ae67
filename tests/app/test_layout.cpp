// The three windows at the scale factor of the run (QT_SCALE_FACTOR 1, 1.25,
// 1.5 or 2): every label, button and list item fits its control with the
// faces this system has, no control overlaps another, and the rule under the
// title and the list frames are drawn.
#include "app/Browser.h"
#include "app/Fonts.h"
#include "app/Form3.h"
#include "app/Main.h"
#include "support/Fakes.h"
#include "support/Files.h"
#include "widgets/Fit.h"

#include <QtTest>
#include <QtWidgets>

using namespace testing;

namespace {

// What does not fit or overlaps among the controls of parent.
QStringList faults(QWidget *parent)
{
    QStringList faults;
    QList<QWidget *> controls;
    for (QWidget *w : parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!w->isVisible() || w->testAttribute(Qt::WA_TransparentForMouseEvents)
            || (!w->inherits("QAbstractButton") && !w->inherits("QLabel") && !w->inherits("QAbstractItemView") && !w->inherits("QComboBox")))
            continue;
        controls << w;
        // A day box shows no caption: the box alone is its control.
        if ((w->inherits("QLabel") || w->inherits("QPushButton")) && !w->rect().contains(QRect({}, widgets::neededSize(w))))
            QDebug(&faults.emplace_back()) << w->objectName() << w->property("text").toString() << "needs" << widgets::neededSize(w) << "in" << w->size();
        if (auto *list = qobject_cast<QListWidget *>(w); list && w->objectName().startsWith("List"))
            for (int i = 0; i < list->count(); ++i)
                if (QFontMetrics(list->font()).horizontalAdvance(list->item(i)->text()) + 6 > list->viewport()->width())
                    faults << w->objectName() + " item " + list->item(i)->text();
    }
    // Controls meet or overlap only as far as the form puts them.
    for (QWidget *a : controls)
        for (QWidget *b : controls)
            if (a < b && (a->geometry() & b->geometry()).size() != (widgets::formGeometry(a) & widgets::formGeometry(b)).size())
                faults << a->objectName() + " overlaps " + b->objectName();
    return faults;
}

// Whether the picture of window shows a dark line along the top of widget's box.
bool lineOnTop(QWidget *window, QWidget *widget)
{
    const QImage picture = window->grab().toImage();
    const qreal scale = picture.devicePixelRatio();
    const QRect box(widget->mapTo(window, QPoint(0, 0)), widget->size());
    for (int y = qFloor(box.top() * scale); y <= qCeil(box.top() * scale) + 1; ++y) {
        int dark = 0;
        for (int x = qCeil(box.left() * scale) + 4; x < qFloor(box.right() * scale) - 4; ++x)
            dark += qGray(picture.pixel(x, y)) < 180;
        if (dark > (box.width() * scale - 10) * 0.9)
            return true;
    }
    return false;
}

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT
private slots:
    void windows();
    void push_data();
    void push();
};

void TestLayout::windows()
{
    installFontSubstitutes(); // the faces the program itself chooses
    WorkFolder work;
    FakeServices fakes;
    Main main({fakes.starter, fakes.prompter, fakes.shortcuts});
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QVERIFY2(faults(main.centralWidget()).isEmpty(), qPrintable(faults(main.centralWidget()).join("; ")));
    for (QWidget *lined : std::initializer_list<QWidget *>{main.Line1, main.List1, main.List2, main.List3, main.List4, main.Dir1, main.File1})
        QVERIFY2(lineOnTop(&main, lined), qPrintable(lined->objectName()));

    main.Command2->click();
    Form2 *viewer = main.viewer();
    QVERIFY(QTest::qWaitForWindowExposed(viewer));
    viewer->Command3->click(); // Wednesday, the longest caption, bold
    QVERIFY2(faults(viewer).isEmpty(), qPrintable(faults(viewer).join("; ")));

    Form3 about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QVERIFY2(faults(&about).isEmpty(), qPrintable(faults(&about).join("; ")));
}

// clang-format off
void TestLayout::push_data()
{
    QTest::addColumn<int>("besideLeft");
    QTest::newRow("a gap between") << 62;
    QTest::newRow("reaching a pixel into it") << 59; // and so they stay
}
// clang-format on

void TestLayout::push()
{
    // A text too wide for its box, a label beside it with room to its right: the label moves, the text fits.
    QFETCH(int, besideLeft);
    QWidget window;
    window.resize(300, 40);
    auto *wide = new QLabel("a text far wider than its box", &window), *beside = new QLabel("next", &window);
    wide->setGeometry(0, 0, 60, 20), beside->setGeometry(besideLeft, 0, 120, 20), widgets::fitTexts(&window), window.show();
    QCOMPARE(faults(&window), QStringList());
    QCOMPARE_GE(wide->width(), widgets::neededSize(wide).width());
    QCOMPARE_GT(beside->x(), besideLeft);
    QCOMPARE_LT(beside->geometry().right(), 300);
}

QTEST_MAIN(TestLayout)
#include "test_layout.moc"
