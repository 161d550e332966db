// Station view (table, notice, context menu), icon view, flow layout and
// status list, against a real SQLite file; the engine is not running here.

#include "WsFixture.h"

#include "AddDialog.h"
#include "DialogStatus.h"
#include "IconItem.h"
#include "IconItemGraphicsView.h"
#include "MainMenu.h"
#include "MainWidget.h"
#include "QGraphicsFlowLayout.h"
#include "SNMPTrapd.h"

#include <QGraphicsLayoutItem>
#include <QGraphicsScene>
#include <QGraphicsWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>
#include <QSignalSpy>
#include <QTableWidget>

#include <cstring>

namespace {

// A layout item of a fixed preferred size.
class FixedItem : public QGraphicsLayoutItem
{
public:
    explicit FixedItem(QSizeF size) : m_size(size) {}
    QRectF placed;
    void setGeometry(const QRectF& rect) override
    {
        placed = rect;
        QGraphicsLayoutItem::setGeometry(rect);
    }

protected:
    QSizeF sizeHint(Qt::SizeHint which, const QSizeF&) const override
    {
        return which == Qt::MaximumSize ? QSizeF(1e6, 1e6) : (which == Qt::MinimumSize ? QSizeF(1, 1) : m_size);
    }

private:
    QSizeF m_size;
};

QStringList iconTexts(IconItemGraphicsView* view)
{
    QStringList texts;
    for (IconItemProxy* proxy : view->icons())
        texts.append(static_cast<IconItem*>(proxy->widget())->text());
    return texts;
}

} // namespace

class TestWsView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<QList<QPair<QString, QString> > >(); }
    void tableListsDescendantsIconsOnlyOwn();
    void storedLoopDoesNotHang();
    void rowValuesOfAnUnknownDevice();
    void emptyAreaMenuOffersAddAndRefresh();
    void deleteSelectedDevicesInOneTransaction();
    void deleteRefusedKeepsRows();
    void addThroughChildStationIcon();
    void iconSelectionRules();
    void doubleClickOnStationIconMovesIntoIt();
    void iconViewScrolling();
    void trapNoticeAndViewMore();
    void statusListKeepsThousandNewestFirst();
    void statusTextsFollowLanguage();
    void flowLayoutWrapsAndNarrows();
};

void TestWsView::tableListsDescendantsIconsOnlyOwn()
{
    WsDir dir;
    const int top = WsDir::addStation("Top", 0);
    const int child = WsDir::addStation("Child", top);
    const int grand = WsDir::addStation("Grand", child);
    WsDir::addDevice("10.3.0.2", top, "own two");
    WsDir::addDevice("10.3.0.1", top, "own one");
    WsDir::addDevice("10.3.1.1", child);
    WsDir::addDevice("10.3.2.1", grand);

    MainWidget view;
    view.resize(800, 600);
    view.handleStationChanged(top, "Top");
    QCOMPARE(view.ipList(), (QStringList{"10.3.0.1", "10.3.0.2", "10.3.1.1", "10.3.2.1"}));
    QCOMPARE(view.table()->rowCount(), 4);
    QCOMPARE(view.table()->item(2, 0)->text(), QStringLiteral("10.3.1.1"));
    QCOMPARE(view.table()->horizontalHeaderItem(7)->text(), QStringLiteral("Ouput Voltage(V)"));

    view.setIconMode(true);
    QCOMPARE(iconTexts(view.iconView()), (QStringList{"Vud Arori", "Child", "own one", "own two"}));
    const QList<IconItemProxy*> icons = view.iconView()->icons();
    QCOMPARE(icons.at(0)->data(IconItemProxy::KeyStationId).toInt(), 0);
    QCOMPARE(icons.at(1)->data(IconItemProxy::KeyStationId).toInt(), child);
    QCOMPARE(icons.at(2)->address(), QStringLiteral("10.3.0.1"));
    QVERIFY(!(icons.at(0)->flags() & QGraphicsItem::ItemIsSelectable));
    QVERIFY(icons.at(2)->flags() & QGraphicsItem::ItemIsSelectable);
    QCOMPARE(icons.at(2)->stateToolTip(), QStringLiteral("Offline"));
    view.iconView()->setDeviceState("10.3.0.1", 2);
    QCOMPARE(icons.at(2)->stateToolTip(), QStringLiteral("Alarm"));
    view.iconView()->setDeviceState("10.3.0.1", 1);
    QCOMPARE(icons.at(2)->stateToolTip(), QStringLiteral("Online"));

    view.handleStationChanged(child, "Child");
    QCOMPARE(iconTexts(view.iconView()), (QStringList{"Top", "Grand", ""}));
    // the root shows no parent icon
    view.handleStationChanged(0, "Vud Arori");
    QCOMPARE(iconTexts(view.iconView()), (QStringList{"Top"}));
}

void TestWsView::storedLoopDoesNotHang()
{
    WsDir dir;
    const int a = WsDir::addStation("A", 0);
    const int b = WsDir::addStation("B", a);
    WsDir::exec("update station set parent_id=? where id=?;", {b, a}); // A and B now hold each other
    WsDir::addDevice("10.3.9.1", a);
    WsDir::addDevice("10.3.9.2", b);
    MainWidget view;
    view.handleStationChanged(a, "A");
    QCOMPARE(view.ipList(), (QStringList{"10.3.9.1", "10.3.9.2"}));
}

void TestWsView::rowValuesOfAnUnknownDevice()
{
    WsDir dir;
    const int s = WsDir::addStation("S", 0);
    WsDir::addDevice("10.4.0.1", s);
    MainWidget view;
    view.handleStationChanged(s, "S");
    SNMPData data;
    std::strcpy(data.sys_name, "ups-name");
    std::strcpy(data.sys_location, "room 1");
    std::strcpy(data.sys_contact, "ops");
    data.batt_temp = 253;
    data.output_load = 37;
    data.output_vol = 2301;
    data.batt_capacity = 99;
    data.input_line_fail_reason = 0;
    data.batt_status = 2;
    view.updateDeviceRow("10.4.0.1", data);
    QTableWidget* t = view.table();
    QCOMPARE(t->item(0, 1)->text(), QStringLiteral("ups-name"));
    QCOMPARE(t->item(0, 2)->text(), QStringLiteral("room 1"));
    QCOMPARE(t->item(0, 3)->text(), QStringLiteral("Unknown"));
    QCOMPARE(t->item(0, 3)->foreground().color(), QColor("black"));
    QCOMPARE(t->item(0, 4)->text(), QStringLiteral("Offline"));
    QCOMPARE(t->item(0, 4)->foreground().color(), QColor("red"));
    QCOMPARE(t->item(0, 5)->text(), QStringLiteral("25.3"));
    QCOMPARE(t->item(0, 6)->text(), QStringLiteral("37"));
    QCOMPARE(t->item(0, 7)->text(), QStringLiteral("230.1"));
    QCOMPARE(t->item(0, 8)->text(), QStringLiteral("99"));
    // reason 0 and battery 2 of an offline device are not "Normal"
    QCOMPARE(t->item(0, 9)->text(), QStringLiteral("Unknown"));
    QCOMPARE(t->item(0, 9)->foreground().color(), QColor("black"));
    QCOMPARE(t->item(0, 10)->text(), QStringLiteral("Unknown"));
    QCOMPARE(t->item(0, 11)->text(), QStringLiteral("ops"));
    QCOMPARE(t->item(0, 5)->textAlignment(), int(Qt::AlignCenter));

    data.input_line_fail_reason = 1;
    data.batt_status = 3;
    view.updateDeviceRow("10.4.0.1", data);
    QCOMPARE(t->item(0, 9)->text(), QStringLiteral("No input"));
    QCOMPARE(t->item(0, 9)->foreground().color(), QColor("red"));
    QCOMPARE(t->item(0, 10)->text(), QStringLiteral("Battery voltage low"));
    data.input_line_fail_reason = 2;
    view.updateDeviceRow("10.4.0.1", data);
    QCOMPARE(t->item(0, 9)->text(), QStringLiteral("Input over-voltage"));
    data.input_line_fail_reason = 7;
    view.updateDeviceRow("10.4.0.1", data);
    QCOMPARE(t->item(0, 9)->text(), QStringLiteral("Unknown"));
    view.updateDeviceRow("10.9.9.9", data); // not listed: nothing
    QCOMPARE(t->rowCount(), 1);
}

void TestWsView::emptyAreaMenuOffersAddAndRefresh()
{
    WsDir dir;
    const int s = WsDir::addStation("S", 0);
    WsDir::addDevice("10.5.0.1", s);
    MainWidget view;
    view.resize(800, 600);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.handleStationChanged(s, "S");

    QMap<QString, bool> entries;
    answerNextMenu(QString(), &entries);
    emit view.table()->customContextMenuRequested(QPoint(50, view.table()->viewport()->height() - 5));
    QCOMPARE(entries, (QMap<QString, bool>{{"Settings", false},
                                           {"Browser device", false},
                                           {"Add", true},
                                           {"Delete", false},
                                           {"Attribute", false},
                                           {"Refresh", true}}));
    entries.clear();
    view.table()->selectRow(0);
    answerNextMenu(QString(), &entries);
    emit view.table()->customContextMenuRequested(view.table()->visualItemRect(view.table()->item(0, 1)).center());
    QCOMPARE(entries.value("Delete"), true);
    QCOMPARE(entries.value("Attribute"), true);
}

void TestWsView::deleteSelectedDevicesInOneTransaction()
{
    WsDir dir;
    const int s = WsDir::addStation("S", 0);
    const int child = WsDir::addStation("Child", s);
    WsDir::addDevice("10.6.0.1", s);
    WsDir::addDevice("10.6.0.2", s);
    WsDir::addDevice("10.6.0.3", child);
    WsDir::addDevice("10.6.0.4", s);
    MainWidget view;
    view.resize(800, 600);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.handleStationChanged(s, "S");
    QSignalSpy changed(&view, &MainWidget::deviceChanged);

    QTableWidget* t = view.table();
    t->setSelectionMode(QAbstractItemView::MultiSelection);
    t->selectRow(0);
    t->selectRow(1);
    t->selectRow(3); // the child station's device is listed last
    QCOMPARE(t->item(3, 0)->text(), QStringLiteral("10.6.0.3"));

    // count the transactions the delete runs: one commit for three rows
    WsDir::exec("create table tx_probe(n integer);");
    WsDir::exec("create trigger device_deleted after delete on device begin insert into tx_probe values(1); end;");
    MessageBox::setNextAnswer(0); // "Yes"
    MessageBox::setNextAnswer(0); // "Sure"
    answerNextMenu("Delete");
    emit t->customContextMenuRequested(t->visualItemRect(t->item(0, 1)).center());

    QCOMPARE(WsDir::count("select count(*) from device;"), 1);
    QCOMPARE(WsDir::count("select count(*) from tx_probe;"), 3);
    const QList<MessageBox::Shown> shown = MessageBox::shown();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown.at(0).text, QStringLiteral("Are you sure to delete this deivce?"));
    QCOMPARE(shown.at(1).text, QStringLiteral("Delete device success!"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toBool(), false);
    QCOMPARE(changed.at(0).at(2).value<QList<QString> >(), (QList<QString>{"10.6.0.1", "10.6.0.2", "10.6.0.3"}));
    QCOMPARE(view.ipList(), QStringList{"10.6.0.4"});
}

void TestWsView::deleteRefusedKeepsRows()
{
    WsDir dir;
    const int s = WsDir::addStation("S", 0);
    for (const char* ip : {"10.6.1.1", "10.6.1.2", "10.6.1.3"})
        WsDir::addDevice(ip, s);
    MainMenu menu(true, s, {"10.6.1.1", "10.6.1.2", "10.6.1.3"}, "S");
    QSignalSpy deleted(&menu, &MainMenu::delSuccess);
    MessageBox::setNextAnswer(1); // "No"
    menu.deleteAction()->trigger();
    QCOMPARE(WsDir::count("select count(*) from device;"), 3);
    QCOMPARE(MessageBox::lastShown().text, QStringLiteral("Are you sure to delete this deivce?"));

    // the last of the three deletes fails: the whole run is undone
    WsDir::exec("create trigger keep_third before delete on device when old.device_ip = '10.6.1.3' "
                "begin select raise(abort, 'kept'); end;");
    MessageBox::setNextAnswer(0);
    MessageBox::setNextAnswer(0);
    menu.deleteAction()->trigger();
    QCOMPARE(deleted.count(), 0);
    QCOMPARE(MessageBox::lastShown().text, QStringLiteral("Delete device failed!"));
    QCOMPARE(WsDir::count("select count(*) from device;"), 3);
    WsDir::exec("drop trigger keep_third;");

    // a database that refuses writes: the rows stay and polling goes on
    WsDir::exec("pragma query_only = 1;");
    MessageBox::setNextAnswer(0);
    MessageBox::setNextAnswer(0);
    menu.deleteAction()->trigger();
    WsDir::exec("pragma query_only = 0;");
    QCOMPARE(deleted.count(), 0);
    QCOMPARE(MessageBox::lastShown().text, QStringLiteral("Delete device failed!"));
    QCOMPARE(WsDir::count("select count(*) from device;"), 3);
}

void TestWsView::addThroughChildStationIcon()
{
    WsDir dir;
    const int s = WsDir::addStation("S", 0);
    const int child = WsDir::addStation("Child", s);
    MainWidget view;
    view.resize(800, 600);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.setIconMode(true);
    view.handleStationChanged(s, "S");
    QSignalSpy changed(&view, &MainWidget::deviceChanged);
    IconItemGraphicsView* icons = view.iconView();
    icons->container()->layout()->activate();
    IconItemProxy* childIcon = icons->icons().at(1);
    QCOMPARE(childIcon->data(IconItemProxy::KeyStationId).toInt(), child);
    const QPoint pos = icons->mapFromScene(childIcon->sceneBoundingRect().center());

    answerNextMenu("Add");
    answerNextDialog<AddDialog>([](AddDialog* dialog) {
        dialog->findChild<QLineEdit*>("lineEditIp")->setText("10.7.0.1");
        MessageBox::setNextAnswer(0);
        QTest::mouseClick(dialog->findChild<QPushButton*>("btnSure"), Qt::LeftButton);
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, icons->viewport()->mapToGlobal(pos));
    QApplication::sendEvent(icons->viewport(), &event);

    QCOMPARE(WsDir::value("select station_id from device where device_ip='10.7.0.1';").toInt(), child);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(1).toInt(), child); // the tree hears of the right station
}

void TestWsView::iconSelectionRules()
{
    WsDir dir;
    const int s = WsDir::addStation("S", 0);
    WsDir::addStation("Child", s);
    WsDir::addDevice("10.8.0.1", s);
    WsDir::addDevice("10.8.0.2", s);
    IconItemGraphicsView view;
    view.resize(600, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.setStation(s, "S");
    view.loadStation();
    view.container()->layout()->activate();
    QSignalSpy clicked(&view, &IconItemGraphicsView::devItemClicked);

    const QList<IconItemProxy*> icons = view.icons();
    QCOMPARE(icons.size(), 4);
    IconItemProxy* dev1 = icons.at(2);
    IconItemProxy* dev2 = icons.at(3);
    const QPoint p1 = view.mapFromScene(dev1->sceneBoundingRect().center());
    const QPoint p2 = view.mapFromScene(dev2->sceneBoundingRect().center());

    // a plain press announces the device but does not select it
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, p1);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.at(0).at(0).toString(), QStringLiteral("10.8.0.1"));
    QVERIFY(!dev1->isSelected());
    // Ctrl-click selects, Shift-click deselects
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ControlModifier, p1);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ControlModifier, p2);
    QVERIFY(dev1->isSelected() && dev2->isSelected());
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, p2);
    QVERIFY(dev1->isSelected() && !dev2->isSelected());
    QVERIFY(!dev2->focusFrame());
    // Ctrl-click on empty space changes nothing
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ControlModifier, QPoint(590, 390));
    QVERIFY(dev1->isSelected() && !dev2->isSelected());
    // Ctrl+A selects every device icon and no station icon
    QTest::keyClick(view.viewport(), Qt::Key_A, Qt::ControlModifier);
    QVERIFY(dev1->isSelected() && dev2->isSelected());
    QVERIFY(!icons.at(0)->isSelected() && !icons.at(1)->isSelected());
    QCOMPARE(view.selectedAddresses().size(), 2);
    // right button leaves the selection alone
    QTest::mousePress(view.viewport(), Qt::RightButton, Qt::NoModifier, QPoint(590, 390));
    QTest::mouseRelease(view.viewport(), Qt::RightButton, Qt::NoModifier, QPoint(590, 390));
    QCOMPARE(view.selectedAddresses().size(), 2);

    // several selected devices: the menu is for all of them
    QMap<QString, bool> entries;
    answerNextMenu(QString(), &entries);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(590, 390), view.viewport()->mapToGlobal(QPoint(590, 390)));
    QApplication::sendEvent(view.viewport(), &event);
    QCOMPARE(entries.value("Delete"), true);
}

void TestWsView::doubleClickOnStationIconMovesIntoIt()
{
    WsDir dir;
    const int s = WsDir::addStation("S", 0);
    const int child = WsDir::addStation("Child", s);
    WsDir::addDevice("10.9.0.1", child, "inner");
    MainWidget view;
    view.resize(800, 600);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.setIconMode(true);
    view.handleStationChanged(s, "S");
    IconItemGraphicsView* icons = view.iconView();
    icons->container()->layout()->activate();
    const QPoint pos = icons->mapFromScene(icons->icons().at(1)->sceneBoundingRect().center());
    QTest::mouseDClick(icons->viewport(), Qt::LeftButton, Qt::NoModifier, pos);
    QTRY_COMPARE(view.stationId(), child);
    QCOMPARE(view.stationName(), QStringLiteral("Child"));
    QCOMPARE(iconTexts(icons), (QStringList{"S", "inner"}));
}

void TestWsView::iconViewScrolling()
{
    WsDir dir;
    const int s = WsDir::addStation("S", 0);
    for (int i = 1; i <= 60; ++i)
        WsDir::addDevice(QStringLiteral("10.13.0.%1").arg(i), s, QStringLiteral("UPS %1").arg(i));
    IconItemGraphicsView view;
    view.resize(300, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.setStation(s, "S");
    view.loadStation();
    view.container()->layout()->activate();
    view.resize(301, 200); // the scene grows to hold every icon
    QApplication::processEvents();
    QScrollBar* bar = view.verticalScrollBar();
    QVERIFY(bar->maximum() > 100);

    // the wheel scrolls by the delta in eighths of a degree
    bar->setValue(50);
    QWheelEvent down(QPointF(150, 100), view.mapToGlobal(QPoint(150, 100)), QPoint(), QPoint(0, -120),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &down);
    QCOMPARE(bar->value(), 65);

    // a rubber band dragged below the view scrolls along with it
    bar->setValue(0);
    QTest::mousePress(view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(295, 5));
    const qreal bottom = view.mapToScene(QPoint(0, view.viewport()->height())).y();
    emit view.rubberBandChanged(QRect(0, 0, 10, 10), QPointF(0, 0), QPointF(10, bottom + 40));
    QCOMPARE(bar->value(), 40);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(295, 5));
}

void TestWsView::trapNoticeAndViewMore()
{
    WsDir dir;
    MainWidget view;
    QVERIFY(view.noteLabel()->text().isEmpty());
    emit SNMPTrapd::instance()->trapReady("10.10.0.1", 2);
    QCOMPARE(view.noteLabel()->text(), QStringLiteral("New UPS Status Triggered"));
    QCOMPARE(view.noteLabel()->styleSheet(), QStringLiteral("color:red;"));
    emit SNMPTrapd::instance()->trapReady("10.10.0.2", 3);
    QCOMPARE(view.noteLabel()->text(), QStringLiteral("New UPS Status Triggered"));
    QCOMPARE(view.statusDialog()->entryCount(), 2);
    int rows = -1;
    answerNextDialog<DialogStatus>([&rows](DialogStatus* d) { rows = d->table()->rowCount(); });
    QTest::mouseClick(view.viewMoreButton(), Qt::LeftButton);
    QCOMPARE(rows, 2);
    QVERIFY(view.noteLabel()->text().isEmpty());
}

void TestWsView::statusListKeepsThousandNewestFirst()
{
    WsDir dir;
    DialogStatus status;
    QCOMPARE(status.windowTitle(), QStringLiteral("Status list"));
    for (int i = 0; i < 1001; ++i)
        status.addStatus(QStringLiteral("10.11.%1.%2").arg(i / 256).arg(i % 256), 6);
    QCOMPARE(status.entryCount(), 1000);
    QCOMPARE(status.table()->rowCount(), 1000);
    QCOMPARE(status.table()->item(0, 1)->text(), QStringLiteral("10.11.3.232")); // the 1001st
    QCOMPARE(status.table()->item(999, 1)->text(), QStringLiteral("10.11.0.1")); // the first is gone
    QCOMPARE(status.table()->item(0, 2)->text(), QStringLiteral("Mains power failed, UPS on battery"));
    status.addStatus("10.11.9.9", 999); // no text for the code
    QCOMPARE(status.table()->item(0, 2)->text(), QString());
    QCOMPARE(status.table()->item(0, 0)->textAlignment(), int(Qt::AlignCenter));
}

void TestWsView::statusTextsFollowLanguage()
{
    WsDir dir;
    DialogStatus status;
    status.addStatus("10.12.0.1", 6);
    status.addStatus("10.12.0.2", 3);
    const QString english = status.table()->item(1, 2)->text();
    QCOMPARE(english, QStringLiteral("Mains power failed, UPS on battery"));
    Language::instance()->setCurrentIndex(1);
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(&status, &change);
    const QString chinese = status.table()->item(1, 2)->text();
    QVERIFY(!chinese.isEmpty());
    QVERIFY(chinese != english);
    QCOMPARE(chinese, status.statusText(6));
    QCOMPARE(status.table()->item(0, 2)->text(), status.statusText(3));
    QCOMPARE(status.table()->item(0, 1)->text(), QStringLiteral("10.12.0.2"));
    Language::instance()->setCurrentIndex(0);
}

void TestWsView::flowLayoutWrapsAndNarrows()
{
    auto* layout = new QGraphicsFlowLayout; // standalone: no widget re-lays it out
    layout->setContentsMargins(0, 0, 0, 0);
    QList<FixedItem*> items;
    for (int i = 0; i < 5; ++i) {
        items.append(new FixedItem(QSizeF(100, 50)));
        layout->addItem(items.last());
    }
    layout->setGeometry(QRectF(0, 0, 330, 1000));
    // three per row: 0, 106, 212; the fourth wraps
    QCOMPARE(items.at(0)->placed, QRectF(0, 0, 100, 50));
    QCOMPARE(items.at(2)->placed, QRectF(212, 0, 100, 50));
    QCOMPARE(items.at(3)->placed, QRectF(0, 56, 100, 50));
    QCOMPARE(items.at(4)->placed, QRectF(106, 56, 100, 50));
    QCOMPARE(layout->heightForWidth(330), 106.0);
    QCOMPARE(layout->count(), 5);
    QCOMPARE(layout->itemAt(9), nullptr);

    // narrower than one item: each item takes a row of its own, narrowed
    layout->setGeometry(QRectF(0, 0, 60, 1000));
    for (FixedItem* item : items)
        QCOMPARE(item->placed.width(), 60.0);
    QVERIFY(items.at(1)->placed.top() > items.at(0)->placed.top());
    QVERIFY(items.at(4)->placed.top() > items.at(3)->placed.top());

    // insertion clamps the index; removal forgets the item
    auto* extra = new FixedItem(QSizeF(10, 10));
    layout->insertItem(99, extra);
    QCOMPARE(layout->itemAt(5), extra);
    layout->removeAt(5);
    QCOMPARE(layout->count(), 5);
    delete extra;
    while (layout->count() > 0) {
        QGraphicsLayoutItem* item = layout->itemAt(0);
        layout->removeAt(0);
        delete item;
    }
    delete layout;
}

QTEST_MAIN(TestWsView)
#include "test_ws_view.moc"
