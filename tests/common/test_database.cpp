#include "Database.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

class TestDatabase : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
    }
    void cleanup()
    {
        Database::destroy();
    }

    void sameNameTwiceAddsOneConnection()
    {
        Database* db = Database::instance();
        QSqlDatabase first;
        QVERIFY(db->createConnection("Global", first));
        QVERIFY(first.isValid());
        QCOMPARE(db->connectionCount(), 1);

        QSqlDatabase second;
        QVERIFY(db->createConnection("Global", second));
        QVERIFY(!second.isValid()); // left untouched
        QCOMPARE(db->connectionCount(), 1);
        QVERIFY(db->hasConnection("Global"));
        QVERIFY(!db->hasConnection("Other"));
    }

    void fifthNewConnectionIsRefused()
    {
        Database* db = Database::instance();
        for (int i = 0; i < 4; ++i) {
            QSqlDatabase c;
            QVERIFY(db->createConnection(QString("c%1").arg(i), c));
        }
        QSqlDatabase c;
        QVERIFY(!db->createConnection("c4", c));
        QVERIFY(!db->hasConnection("c4"));
    }

    void removeConnectionAndUnknownName()
    {
        Database* db = Database::instance();
        QSqlDatabase c;
        QVERIFY(db->createConnection("one", c));
        c.setDatabaseName(m_dir.filePath("a.db"));
        QVERIFY(c.open());
        c = QSqlDatabase();
        db->removeConnection("unknown");
        QCOMPARE(db->connectionCount(), 1);
        db->removeConnection("one");
        QCOMPARE(db->connectionCount(), 0);
        QVERIFY(!QSqlDatabase::contains("one"));
        QVERIFY(!db->getDatabase("one").isValid());
    }

    void agentFormOpensFileNamedLikeConnection()
    {
        QVERIFY(QDir::setCurrent(m_dir.path()));
        Database* db = Database::instance();
        QSqlDatabase c;
        QVERIFY(db->createConnection("agent.db", c, QString(), QString()));
        QVERIFY(c.isOpen());
        QSqlQuery q(c);
        QVERIFY(q.exec("create table t(x integer)"));
        QVERIFY(QFile::exists(m_dir.filePath("agent.db")));
    }

    void tableExistsFollowsSqliteSequence()
    {
        Database* db = Database::instance();
        QSqlDatabase c;
        QVERIFY(db->createConnection("seq", c));
        c.setDatabaseName(m_dir.filePath("seq.db"));
        QVERIFY(c.open());
        // No AUTOINCREMENT table yet: sqlite_sequence itself is missing.
        QVERIFY(!Database::tableExists(c, "station"));
        QSqlQuery q(c);
        QVERIFY(q.exec("create table station(id integer primary key autoincrement, name text)"));
        QVERIFY(!Database::tableExists(c, "station")); // created but empty
        QVERIFY(q.exec("insert into station(name) values('a')"));
        QVERIFY(Database::tableExists(c, "station"));
        QVERIFY(q.exec("delete from station"));
        QVERIFY(Database::tableExists(c, "station")); // the sequence entry stays
        QVERIFY(!Database::tableExists(c, "other"));
    }

    void rowCountPositions()
    {
        Database* db = Database::instance();
        QSqlDatabase c;
        QVERIFY(db->createConnection("rows", c));
        c.setDatabaseName(m_dir.filePath("rows.db"));
        QVERIFY(c.open());
        QSqlQuery q(c);
        QVERIFY(q.exec("create table t(x integer)"));
        QVERIFY(q.exec("insert into t values(1),(2),(3)"));

        QSqlQuery empty(c);
        QVERIFY(empty.exec("select x from t where x > 10"));
        QCOMPARE(Database::rowCount(empty), 0);
        QVERIFY(!empty.isValid());

        QSqlQuery console(c);
        QVERIFY(console.exec("select x from t order by x"));
        QCOMPARE(Database::rowCount(console), 3);
        QCOMPARE(console.value(0).toInt(), 1); // current row is the first

        QSqlQuery agent(c);
        QVERIFY(agent.exec("select x from t order by x"));
        QCOMPARE(Database::rowCount(agent, Database::BeforeFirst), 3);
        QVERIFY(agent.next());
        QCOMPARE(agent.value(0).toInt(), 1); // next() reaches the first row
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "test_database.moc"
