// declaraties --hash-password: what it reads from standard input, what it
// prints, what it refuses, and that it needs no display.
#include "app/hashpassword.h"
#include "login/passwordhash.h"

#include <QProcess>
#include <QtTest>

#include <cstdio>

using namespace dl;
using namespace Qt::StringLiterals;

class TestHashPassword : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void hashPasswordCommand_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("password"); // what the printed hash must accept
        QTest::addColumn<QString>("errorHas");
        QTest::newRow("plain") << QByteArray("geheim\n") << 0 << u"geheim"_s << QString();
        QTest::newRow("no newline") << QByteArray("geheim") << 0 << u"geheim"_s << QString();
        QTest::newRow("CR LF") << QByteArray("geheim\r\n") << 0 << u"geheim"_s << QString();
        QTest::newRow("blanks count") << QByteArray(" a b \n") << 0 << u" a b "_s << QString();
        QTest::newRow("ten characters") << QByteArray("0123456789\n") << 0 << u"0123456789"_s << QString();
        QTest::newRow("ten, not ten bytes") << QByteArray("\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9"
                                                          "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\n")
                                            << 0 << QString(10, QChar(0xe9)) << QString();
        QTest::newRow("only the first line") << QByteArray("geheim\nmeer\n") << 0 << u"geheim"_s << QString();
        QTest::newRow("eleven characters")
            << QByteArray("0123456789a\n") << 1 << QString() << u"langer dan 10 tekens"_s;
        QTest::newRow("very long") << QByteArray(5000, 'x') << 1 << QString() << u"langer dan 10 tekens"_s;
        QTest::newRow("empty line") << QByteArray("\n") << 1 << QString() << u"geen paswoord"_s;
        QTest::newRow("nothing") << QByteArray() << 1 << QString() << u"geen paswoord"_s;
    }

    void hashPasswordCommand()
    {
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        QFETCH(QString, password);
        QFETCH(QString, errorHas);
        std::FILE* in = std::tmpfile();
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        std::fwrite(input.constData(), 1, static_cast<size_t>(input.size()), in);
        std::rewind(in);
        QCOMPARE(dl::hashPasswordCommand(in, out, err), exitCode);
        const auto read = [](std::FILE* f) {
            std::rewind(f);
            QByteArray all;
            char buf[512];
            for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
                all.append(buf, static_cast<qsizetype>(n));
            std::fclose(f);
            return QString::fromUtf8(all);
        };
        std::fclose(in);
        const QString printed = read(out);
        const QString said = read(err);
        if (exitCode == 0) {
            QVERIFY(said.isEmpty());
            QVERIFY2(printed.startsWith(u"$argon2id$v=19$m=65536,t=2,p=1$"_s), qPrintable(printed));
            QVERIFY(printed.endsWith(u'\n'));
            QCOMPARE(printed.count(u'\n'), 1);
            QCOMPARE(checkPassword(printed.chopped(1), password), PasswordCheck::Match);
            QCOMPARE(checkPassword(printed.chopped(1), password + u'x'), PasswordCheck::NoMatch);
        } else {
            QVERIFY(printed.isEmpty());
            QVERIFY2(said.contains(errorHas), qPrintable(said));
            QVERIFY(said.startsWith(u"declaraties: "_s));
        }
    }

    // The value the office's commands take instead of a password: what the
    // server's ed25519 plugin stores for "welkom1" (its PASSWORD()).
    void ed25519Verifier()
    {
        std::FILE* in = std::tmpfile();
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        std::fputs("welkom1\n", in);
        std::rewind(in);
        QCOMPARE(dl::hashPasswordCommand(in, out, err, true), 0);
        std::rewind(out);
        char line[128] = {};
        QVERIFY(std::fgets(line, sizeof line, out));
        QCOMPARE(QString::fromLatin1(line), u"ed25519:wIxPVkpw3M6mTBee2HvQKHqIa+/ZV9tzOJGmTaYfApQ\n"_s);
        for (std::FILE* f : {in, out, err})
            std::fclose(f);
    }

    void hashPasswordRunsWithoutADisplay()
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(DL_BINARY_DIR "/declaraties"), {u"--hash-password"_s});
        QVERIFY(p.waitForStarted());
        p.write("Zomer26!\n");
        p.closeWriteChannel();
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        const QString hash = QString::fromLatin1(p.readAllStandardOutput()).trimmed();
        QCOMPARE(checkPassword(hash, u"Zomer26!"_s), PasswordCheck::Match);
    }
};

QTEST_GUILESS_MAIN(TestHashPassword)
#include "tst_hashpassword.moc"
