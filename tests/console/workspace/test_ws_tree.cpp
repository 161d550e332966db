// Station tree, add dialog and attribute dialog against a real SQLite file.

#include "WsFixture.h"

#include "AddDialog.h"
#include "AttributeDialog.h"
#include "ManageTreeView.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardItemModel>

class TestWsTree : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<QList<QPair<QString, QString> > >(); }
    void buildShowsReachableStations();
    void statePropagatesUpTheTree();
    void deviceChangesUpdateTheStation();
    void deleteRemovesWholeSubtree();
    void deleteNeedsYes();
    void moveRules();
    void dropEventMovesOntoItemUnderCursor();
    void renameStoresTextVerbatim_data();
    void renameStoresTextVerbatim();
    void contextMenuEntries();
    void jumpToStation();
    void rebuildForgetsDeletedDevices();

    void addStationChecks_data();
    void addStationChecks();
    void addDeviceRuns_data();
    void addDeviceRuns();
    void addDeviceOnReadOnlyDatabase();
    void attributeOfDeviceAndStation();
};

void TestWsTree::buildShowsReachableStations()
{
    WsDir dir;
    QVERIFY(dir.ok());
    const int a = WsDir::addStation("Station A", 0);
    const int b = WsDir::addStation("B", a);
    WsDir::addStation("Orphan", 999);
    // a two-station cycle that is not reachable from the root
    const int c1 = WsDir::addStation("C1", 0);
    const int c2 = WsDir::addStation("C2", c1);
    WsDir::exec("update station set parent_id=? where id=?;", {c2, c1});
    WsDir::addDevice("10.0.0.1", b);
    WsDir::addDevice("10.0.0.2", c1);

    ManageTreeView tree;
    QStandardItem* root = tree.rootItem();
    QVERIFY(root);
    QCOMPARE(root->text(), QStringLiteral("Vud Arori"));
    QCOMPARE(root->rowCount(), 1);
    QCOMPARE(root->child(0)->text(), QStringLiteral("Station A"));
    QCOMPARE(root->child(0)->child(0)->text(), QStringLiteral("B"));
    QCOMPARE(root->child(0)->child(0)->data(Qt::UserRole + 1).toInt(), a);
    QVERIFY(!tree.findItem(c1));
    QVERIFY(!tree.findItem(c2));
    QVERIFY(!(root->flags() & Qt::ItemIsEditable));
    QVERIFY(root->child(0)->flags() & Qt::ItemIsEditable);
    // only addresses of shown stations are followed
    QCOMPARE(tree.stationOfDeviceCount(), 1);
    tree.updateState("10.0.0.2", 2); // unknown to the tree: ignored
    QCOMPARE(tree.node(a)->state, 0);
}

void TestWsTree::statePropagatesUpTheTree()
{
    WsDir dir;
    const int top = WsDir::addStation("Top", 0);
    const int mid = WsDir::addStation("Mid", top);
    const int other = WsDir::addStation("Other", top);
    WsDir::addDevice("10.0.1.1", mid);
    WsDir::addDevice("10.0.1.2", mid);
    WsDir::addDevice("10.0.1.3", other);
    ManageTreeView tree;

    tree.updateState("10.0.1.1", 2);
    tree.updateState("10.0.1.2", 1);
    tree.updateState("10.0.1.3", 1);
    QCOMPARE(tree.node(mid)->state, 2);
    QCOMPARE(tree.node(top)->state, 2);
    QCOMPARE(tree.node(other)->state, 1);
    QCOMPARE(tree.node(0)->state, 0); // the root is never coloured

    tree.updateState("10.0.1.1", 1); // alarm clears
    QCOMPARE(tree.node(mid)->state, 1);
    QCOMPARE(tree.node(top)->state, 1);

    tree.updateState("10.0.1.1", 0);
    tree.updateState("10.0.1.2", 0);
    QCOMPARE(tree.node(mid)->state, 0);
    QCOMPARE(tree.node(top)->state, 1); // "Other" is still online

    // a healthy device of the station itself never hides an alarm below it
    tree.handleDeviceChanged(true, top, {"10.0.1.9"});
    tree.updateState("10.0.1.1", 2);
    tree.updateState("10.0.1.9", 1);
    QCOMPARE(tree.node(top)->state, 2);
    tree.updateState("10.0.1.1", 1);
    QCOMPARE(tree.node(top)->state, 1);
}

void TestWsTree::deviceChangesUpdateTheStation()
{
    WsDir dir;
    const int s = WsDir::addStation("S", 0);
    const int child = WsDir::addStation("Child", s);
    WsDir::addDevice("10.0.2.1", child);
    ManageTreeView tree;
    tree.handleDeviceChanged(true, s, {"10.0.2.9"});
    tree.updateState("10.0.2.9", 2);
    QCOMPARE(tree.node(s)->state, 2);
    tree.updateState("10.0.2.1", 1);
    QCOMPARE(tree.node(child)->state, 1);
    // removal reported for the parent station still finds the child's device
    tree.handleDeviceChanged(false, s, {"10.0.2.9", "10.0.2.1"});
    QCOMPARE(tree.node(child)->devices.size(), 0);
    QCOMPARE(tree.node(child)->state, 0);
    QCOMPARE(tree.node(s)->state, 0);
    tree.updateState("10.0.2.1", 2); // no longer followed
    QCOMPARE(tree.node(child)->state, 0);
    tree.handleDeviceChanged(true, 12345, {"10.0.2.8"}); // unknown station: nothing
    QCOMPARE(tree.stationOfDeviceCount(), 0);
}

void TestWsTree::deleteRemovesWholeSubtree()
{
    WsDir dir;
    const int parent = WsDir::addStation("Parent", 0);
    const int s = WsDir::addStation("S", parent);
    const int c = WsDir::addStation("C", s);
    const int g = WsDir::addStation("G", c);
    const int keep = WsDir::addStation("Keep", parent);
    WsDir::addDevice("10.0.3.1", s);
    WsDir::addDevice("10.0.3.2", c);
    WsDir::addDevice("10.0.3.3", g);
    WsDir::addDevice("10.0.3.4", keep);
    ManageTreeView tree;
    QSignalSpy changed(&tree, &ManageTreeView::stationChanged);
    MessageBox::setNextAnswer(0); // "Yes"
    MessageBox::setNextAnswer(0); // "Sure"
    tree.deleteStation(tree.findItem(s));
    QCOMPARE(WsDir::count("select count(*) from station where id in (?, ?, ?);", {s, c, g}), 0);
    QCOMPARE(WsDir::count("select count(*) from device;"), 1);
    QCOMPARE(WsDir::count("select count(*) from station;"), 2);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toInt(), parent);
    QCOMPARE(changed.at(0).at(1).toString(), QStringLiteral("Parent"));
    const QList<MessageBox::Shown> shown = MessageBox::shown();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown.at(0).title, QStringLiteral("Warning"));
    QCOMPARE(shown.at(0).text,
             QStringLiteral("Are you sure to delete this station including it's child stations and deivces?"));
    QCOMPARE(shown.at(1).text, QStringLiteral("Delete success!"));
    QVERIFY(!tree.findItem(s));
    QVERIFY(tree.findItem(keep));
    QCOMPARE(tree.stationOfDeviceCount(), 1);
}

void TestWsTree::deleteNeedsYes()
{
    WsDir dir;
    const int s = WsDir::addStation("S", 0);
    WsDir::addDevice("10.0.4.1", s);
    ManageTreeView tree;
    MessageBox::setNextAnswer(1); // "No"
    tree.deleteStation(tree.findItem(s));
    QCOMPARE(WsDir::count("select count(*) from station;"), 1);
    QCOMPARE(WsDir::count("select count(*) from device;"), 1);
    tree.deleteStation(tree.rootItem()); // the root is never deleted
    QCOMPARE(MessageBox::shown().size(), 1);
}

void TestWsTree::moveRules()
{
    WsDir dir;
    const int a = WsDir::addStation("A", 0);
    const int b = WsDir::addStation("B", a);
    const int c = WsDir::addStation("C", b);
    const int d = WsDir::addStation("D", 0);
    WsDir::addDevice("10.0.5.1", c);
    ManageTreeView tree;
    tree.updateState("10.0.5.1", 2);
    QCOMPARE(tree.node(a)->state, 2);

    // onto its current parent, itself or a descendant: refused, nothing stored
    QVERIFY(!tree.moveStation(tree.findItem(b), tree.findItem(a)));
    QVERIFY(!tree.moveStation(tree.findItem(a), tree.findItem(a)));
    QVERIFY(!tree.moveStation(tree.findItem(a), tree.findItem(c)));
    QVERIFY(!tree.moveStation(tree.rootItem(), tree.findItem(d)));
    QVERIFY(!tree.moveStation(tree.findItem(b), nullptr));
    QCOMPARE(WsDir::value("select parent_id from station where id=?;", {b}).toInt(), a);
    QCOMPARE(WsDir::value("select parent_id from station where id=?;", {a}).toInt(), 0);

    QVERIFY(tree.moveStation(tree.findItem(b), tree.findItem(d)));
    QCOMPARE(WsDir::value("select parent_id from station where id=?;", {b}).toInt(), d);
    QCOMPARE(tree.findItem(b)->parent(), tree.findItem(d));
    QCOMPARE(tree.findItem(b)->data(Qt::UserRole + 1).toInt(), d);
    // colours follow the move
    QCOMPARE(tree.node(a)->state, 0);
    QCOMPARE(tree.node(d)->state, 2);
    // the stored tree matches what the view showed
    tree.refresh();
    QCOMPARE(tree.findItem(b)->parent(), tree.findItem(d));
    QCOMPARE(tree.findItem(c)->parent(), tree.findItem(b));

    QVERIFY(tree.moveStation(tree.findItem(c), tree.rootItem()));
    QCOMPARE(WsDir::value("select parent_id from station where id=?;", {c}).toInt(), 0);
}

void TestWsTree::dropEventMovesOntoItemUnderCursor()
{
    WsDir dir;
    const int a = WsDir::addStation("A", 0);
    const int b = WsDir::addStation("B", 0);
    ManageTreeView tree;
    tree.resize(300, 300);
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    const QRect rectA = tree.visualRect(tree.findItem(a)->index());
    const QRect rectB = tree.visualRect(tree.findItem(b)->index());
    QTest::mousePress(tree.viewport(), Qt::LeftButton, Qt::NoModifier, rectB.center());
    QTest::mouseRelease(tree.viewport(), Qt::LeftButton, Qt::NoModifier, rectB.center());

    QMimeData mime;
    // near the top edge of A: a drop "above" A still means "onto A"
    QDropEvent drop(QPointF(rectA.center().x(), rectA.top() + 1), Qt::MoveAction, &mime, Qt::LeftButton,
                    Qt::NoModifier);
    // The event's source is only set for real drags; moveStation is the
    // same code path and is exercised directly for the refusals above.
    QVERIFY(tree.moveStation(tree.findItem(b), tree.standardModel()->itemFromIndex(tree.indexAt(drop.pos()))));
    QCOMPARE(WsDir::value("select parent_id from station where id=?;", {b}).toInt(), a);
    // a drop on empty space is ignored
    QVERIFY(!tree.moveStation(tree.findItem(b), tree.standardModel()->itemFromIndex(tree.indexAt(QPoint(5, 290)))));
    QApplication::sendEvent(tree.viewport(), &drop);
    QCOMPARE(WsDir::value("select parent_id from station where id=?;", {b}).toInt(), a);
}

void TestWsTree::renameStoresTextVerbatim_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("quotes") << QStringLiteral("O'Brien \"east\"");
    QTest::newRow("sql") << QStringLiteral("x'); drop table station; --");
    QTest::newRow("percent-backslash") << QStringLiteral("100% \\ _done");
    QTest::newRow("empty") << QStringLiteral("");
    QTest::newRow("chinese") << QStringLiteral("北京机房");
    QTest::newRow("long") << QString(5000, QLatin1Char('n'));
}

void TestWsTree::renameStoresTextVerbatim()
{
    QFETCH(QString, name);
    WsDir dir;
    const int s = WsDir::addStation("S", 0);
    WsDir::addStation("Other", 0);
    ManageTreeView tree;
    // as the in-place editor does it
    tree.standardModel()->setData(tree.findItem(s)->index(), name, Qt::EditRole);
    QCOMPARE(WsDir::value("select name from station where id=?;", {s}).toString(), name);
    QCOMPARE(WsDir::count("select count(*) from station;"), 2);
    tree.refresh();
    QCOMPARE(tree.findItem(s)->text(), name);
}

void TestWsTree::contextMenuEntries()
{
    WsDir dir;
    const int s = WsDir::addStation("S", 0);
    ManageTreeView tree;
    tree.resize(300, 300);
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));

    QMap<QString, bool> entries;
    answerNextMenu(QString(), &entries);
    emit tree.customContextMenuRequested(QPoint(10, 280));
    QCOMPARE(entries.value("Refresh"), true);
    QCOMPARE(entries.value("Add"), false);
    QCOMPARE(entries.value("Delete"), false);
    QCOMPARE(entries.value("Rename"), false);
    QCOMPARE(entries.value("Attribute"), false);

    entries.clear();
    answerNextMenu(QString(), &entries);
    emit tree.customContextMenuRequested(tree.visualRect(tree.rootItem()->index()).center());
    QCOMPARE(entries.value("Add"), true);
    QCOMPARE(entries.value("Delete"), false);
    QCOMPARE(entries.value("Rename"), false);
    QCOMPARE(entries.value("Attribute"), true);

    entries.clear();
    answerNextMenu(QString(), &entries);
    emit tree.customContextMenuRequested(tree.visualRect(tree.findItem(s)->index()).center());
    QCOMPARE(entries.value("Delete"), true);
    QCOMPARE(entries.value("Rename"), true);

    // "Add" under S through the menu and the add dialog
    QSignalSpy added(&tree, &ManageTreeView::addStationSuccess);
    answerNextMenu("Add");
    answerNextDialog<AddDialog>([](AddDialog* dialog) {
        dialog->findChild<QLineEdit*>("lineEditName")->setText("New one");
        MessageBox::setNextAnswer(0);
        QTest::mouseClick(dialog->findChild<QPushButton*>("btnSure"), Qt::LeftButton);
    });
    emit tree.customContextMenuRequested(tree.visualRect(tree.findItem(s)->index()).center());
    QCOMPARE(added.count(), 1);
    QCOMPARE(WsDir::value("select parent_id from station where name='New one';").toInt(), s);
    QVERIFY(tree.findItem(WsDir::value("select id from station where name='New one';").toInt()));
}

void TestWsTree::jumpToStation()
{
    WsDir dir;
    const int a = WsDir::addStation("A", 0);
    const int deep = WsDir::addStation("Deep", WsDir::addStation("B", a));
    ManageTreeView tree;
    tree.collapseAll();
    QSignalSpy changed(&tree, &ManageTreeView::stationChanged);
    QVERIFY(tree.jumpToStation("Deep"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toInt(), deep);
    QVERIFY(tree.isExpanded(tree.findItem(a)->index()));
    QVERIFY(!tree.jumpToStation("deep")); // case-sensitive
    QCOMPARE(tree.currentStationId(), 0);  // a jump does not change the current station
}

void TestWsTree::rebuildForgetsDeletedDevices()
{
    WsDir dir;
    const int s = WsDir::addStation("S", 0);
    WsDir::addDevice("10.0.6.1", s);
    ManageTreeView tree;
    QCOMPARE(tree.stationOfDeviceCount(), 1);
    WsDir::exec("delete from device;");
    WsDir::exec("delete from station;");
    tree.refresh();
    QCOMPARE(tree.stationOfDeviceCount(), 0);
    tree.updateState("10.0.6.1", 2); // must not touch a freed node
    QCOMPARE(tree.rootItem()->rowCount(), 0);
}

void TestWsTree::addStationChecks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("stations");
    QTest::newRow("empty") << QString() << "Station name is null!" << 1;
    QTest::newRow("exists elsewhere") << "Existing" << "Station exists!" << 1;
    QTest::newRow("new") << "Fresh" << "Add station success!" << 2;
    QTest::newRow("quotes") << "it's \"x\"" << "Add station success!" << 2;
    QTest::newRow("sql") << "a'); delete from station; --" << "Add station success!" << 2;
    QTest::newRow("percent") << "50%_\\" << "Add station success!" << 2;
    QTest::newRow("chinese") << "上海站" << "Add station success!" << 2;
}

void TestWsTree::addStationChecks()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    QFETCH(int, stations);
    WsDir dir;
    const int existing = WsDir::addStation("Existing", 0);
    AddDialog dialog(0, existing, nullptr);
    QSignalSpy success(&dialog, &AddDialog::addStationSuccess);
    dialog.findChild<QLineEdit*>("lineEditName")->setText(name);
    MessageBox::setNextAnswer(0);
    QTest::mouseClick(dialog.findChild<QPushButton*>("btnSure"), Qt::LeftButton);
    QCOMPARE(MessageBox::lastShown().text, message);
    QCOMPARE(WsDir::count("select count(*) from station;"), stations);
    QCOMPARE(success.count(), stations - 1);
    if (stations == 2) {
        QCOMPARE(WsDir::count("select count(*) from station where name=? and parent_id=?;", {name, existing}), 1);
        QCOMPARE(MessageBox::lastShown().title, QStringLiteral("Information"));
    } else {
        QCOMPARE(MessageBox::lastShown().title, QStringLiteral("Warning"));
    }
}

void TestWsTree::addDeviceRuns_data()
{
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("community");
    QTest::addColumn<int>("count"); // 0 = continuous adding off
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("added");
    QTest::newRow("null") << QString() << "public" << 0 << "IP address is null!" << QStringList();
    QTest::newRow("leading zero") << "01.2.3.4" << "public" << 0 << "IP address is vaild!" << QStringList();
    QTest::newRow("out of range") << "256.1.1.1" << "public" << 0 << "IP address is vaild!" << QStringList();
    QTest::newRow("trailing text") << "1.2.3.4 " << "public" << 0 << "IP address is vaild!" << QStringList();
    QTest::newRow("no community") << "10.0.0.7" << "" << 0 << "Community is null!" << QStringList();
    QTest::newRow("single") << "10.0.0.7" << "public" << 0 << "Add device success!" << QStringList{"10.0.0.7"};
    QTest::newRow("two") << "10.0.0.7" << "public" << 2 << "Add device success!" << QStringList{"10.0.0.7", "10.0.0.8"};
    QTest::newRow("clipped run") << "192.168.1.250" << "private" << 10 << "Add device success!"
                                 << QStringList{"192.168.1.250", "192.168.1.251", "192.168.1.252", "192.168.1.253",
                                                "192.168.1.254"};
    QTest::newRow("skips present") << "10.9.9.1" << "public" << 3 << "Add device success!"
                                   << QStringList{"10.9.9.1", "10.9.9.3"};
    QTest::newRow("all present") << "10.9.9.2" << "public" << 0 << "Device exists!" << QStringList();
}

void TestWsTree::addDeviceRuns()
{
    QFETCH(QString, ip);
    QFETCH(QString, community);
    QFETCH(int, count);
    QFETCH(QString, message);
    QFETCH(QStringList, added);
    WsDir dir;
    const int other = WsDir::addStation("Other", 0);
    const int s = WsDir::addStation("S", 0);
    WsDir::addDevice("10.9.9.2", other); // present in another station
    AddDialog dialog(1, s, nullptr);
    QSignalSpy success(&dialog, &AddDialog::addDeviceSuccess);
    dialog.findChild<QLineEdit*>("lineEditIp")->setText(ip);
    dialog.findChild<QLineEdit*>("lineEditCommunity")->setText(community);
    QVERIFY(!dialog.findChild<QSpinBox*>("spinCount")->isEnabled());
    if (count > 0) {
        dialog.findChild<QCheckBox*>("checkContinuous")->setChecked(true);
        QVERIFY(dialog.findChild<QSpinBox*>("spinCount")->isEnabled());
        dialog.findChild<QSpinBox*>("spinCount")->setValue(count);
    }
    MessageBox::setNextAnswer(0);
    QTest::mouseClick(dialog.findChild<QPushButton*>("btnSure"), Qt::LeftButton);
    QCOMPARE(MessageBox::lastShown().text, message);
    QCOMPARE(WsDir::count("select count(*) from device where station_id=?;", {s}), added.size());
    if (added.isEmpty()) {
        QCOMPARE(success.count(), 0);
        return;
    }
    QCOMPARE(success.count(), 1);
    const auto list = success.at(0).at(0).value<QList<QPair<QString, QString> > >();
    QStringList addresses;
    for (const auto& pair : list) {
        addresses.append(pair.first);
        QCOMPARE(pair.second, community);
    }
    QCOMPARE(addresses, added);
    QCOMPARE(WsDir::value("select community from device where device_ip=?;", {added.first()}).toString(), community);
}

void TestWsTree::addDeviceOnReadOnlyDatabase()
{
    WsDir dir;
    const int s = WsDir::addStation("S", 0);
    WsDir::exec("pragma query_only = 1;");
    AddDialog dialog(1, s, nullptr);
    QSignalSpy success(&dialog, &AddDialog::addDeviceSuccess);
    dialog.findChild<QLineEdit*>("lineEditIp")->setText("10.1.1.1");
    MessageBox::setNextAnswer(0);
    QTest::mouseClick(dialog.findChild<QPushButton*>("btnSure"), Qt::LeftButton);
    QCOMPARE(MessageBox::lastShown().text, QStringLiteral("Add device failed!"));
    QCOMPARE(success.count(), 0);

    AddDialog stationDialog(0, 0, nullptr);
    QSignalSpy stationSuccess(&stationDialog, &AddDialog::addStationSuccess);
    stationDialog.findChild<QLineEdit*>("lineEditName")->setText("X");
    MessageBox::setNextAnswer(0);
    QTest::mouseClick(stationDialog.findChild<QPushButton*>("btnSure"), Qt::LeftButton);
    QCOMPARE(MessageBox::lastShown().text, QStringLiteral("Add station failed!"));
    QCOMPARE(stationSuccess.count(), 0);
    WsDir::exec("pragma query_only = 0;");
    QCOMPARE(WsDir::count("select count(*) from device;"), 0);
}

void TestWsTree::attributeOfDeviceAndStation()
{
    WsDir dir;
    const int s = WsDir::addStation("S'1", 0);
    WsDir::addDevice("10.2.2.2", s, "UPS 'one'", true);
    WsDir::addDevice("10.2.2.3", s, "two", false);
    const qint64 created = WsDir::value("select create_time from device where device_ip='10.2.2.2';").toLongLong();

    AttributeDialog device(1);
    answerNextDialog<AttributeDialog>([](AttributeDialog*) {});
    device.showDevice("10.2.2.2", "S'1");
    QCOMPARE(device.valueText(0), QStringLiteral("UPS 'one'"));
    QCOMPARE(device.valueText(1), QStringLiteral("three phase device"));
    QCOMPARE(device.valueText(2), QStringLiteral("10.2.2.2"));
    QCOMPARE(device.valueText(5), QStringLiteral("S'1"));
    QCOMPARE(device.valueText(6),
             QDateTime::fromSecsSinceEpoch(created).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    QCOMPARE(device.captionText(5), QStringLiteral("Belong to station:"));

    AttributeDialog single(1);
    answerNextDialog<AttributeDialog>([](AttributeDialog*) {});
    single.showDevice("10.2.2.3", "S'1");
    QCOMPARE(single.valueText(1), QStringLiteral("device"));

    // the tree's attribute entry counts sub-stations and their devices
    const int child = WsDir::addStation("Child", s);
    WsDir::addDevice("10.2.2.4", child);
    ManageTreeView tree;
    QString counts;
    answerNextDialog<AttributeDialog>([&counts](AttributeDialog* d) {
        counts = d->valueText(0) + "|" + d->valueText(1) + "|" + d->valueText(2) + "|" + d->valueText(3);
    });
    tree.showAttribute(tree.findItem(s));
    QCOMPARE(counts, QStringLiteral("S'1|station|1|3"));
}

QTEST_MAIN(TestWsTree)
#include "test_ws_tree.moc"
