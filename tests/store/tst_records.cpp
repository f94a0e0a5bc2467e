#include "store/Records.h"

#include <QTest>

// The owning list keeps order and tells derived data when it changed.
class TestRecords : public QObject
{
    Q_OBJECT
private slots:
    void listKeepsOrderAndRevision()
    {
        TCallList list;
        const auto r0 = list.revision();
        list.append(ACalls{QStringLiteral("a"), {}, {}, 1.0, 0.0, true});
        list.append(ACalls{QStringLiteral("b"), {}, {}, 3.0, 0.0, true});
        list.insert(1, ACalls{QStringLiteral("c"), {}, {}, 2.0, 0.0, true});
        QVERIFY(list.revision() > r0);
        QCOMPARE(list.size(), 3);
        QCOMPARE(list[1].CallerName, QStringLiteral("c"));
        list.stableSort([](const ACalls &x, const ACalls &y) { return x.CallDate > y.CallDate; });
        QStringList order;
        for (const ACalls &c : list)
            order << c.CallerName;
        QCOMPARE(order, (QStringList{"b", "c", "a"}));
        const ACalls taken = list.takeAt(0);
        QCOMPARE(taken.CallerName, QStringLiteral("b"));
        QCOMPARE(list.size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
