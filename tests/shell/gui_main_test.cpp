#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QString err;
};

// The windows on the offscreen platform, from wherever the executable lies.
Run runWindow(const QString &executable, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(executable, arguments);
    Run run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// Pixels of the status bar strip that are pure red.
int redPixelsInStatusBar(const QImage &shot)
{
    int red = 0;
    for (int y = 414; y < 444; ++y)
        for (int x = 2; x < 789; ++x)
            red += shot.pixelColor(x, y) == QColor(Qt::red) ? 1 : 0;
    return red;
}

} // namespace

class GuiMainTest : public QObject
{
    Q_OBJECT

private slots:
    // The skin is looked for beside the executable, then in the installed data
    // folder next to it (../share/vexa-helper), also below a path with spaces
    // and Chinese characters; without either the window still starts.
    void skinBesideTheExecutableThenInstalled_data()
    {
        QTest::addColumn<QString>("besideColour");
        QTest::addColumn<QString>("installedColour");
        QTest::addColumn<bool>("redStatusBar");
        QTest::newRow("beside") << "#ff0000" << QString() << true;
        QTest::newRow("installed only") << QString() << "#ff0000" << true;
        QTest::newRow("beside wins") << "#ff0000"
                                     << "#0000ff" << true;
        QTest::newRow("installed loses") << "#0000ff"
                                         << "#ff0000" << false;
        QTest::newRow("none") << QString() << QString() << false;
    }

    void skinBesideTheExecutableThenInstalled()
    {
        QFETCH(QString, besideColour);
        QFETCH(QString, installedColour);
        QFETCH(bool, redStatusBar);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString prefix = dir.filePath(QStringLiteral("音乐 工具"));
        const QString bin = prefix + QStringLiteral("/bin");
        const QString data = prefix + QStringLiteral("/share/vexa-helper");
        QVERIFY(QDir().mkpath(bin) && QDir().mkpath(data));
        const QString executable = bin + QStringLiteral("/vexa-helper");
        QVERIFY(QFile::copy(QStringLiteral(VEXA_HELPER_EXE), executable));
        const auto writeSkin = [](const QString &folder, const QString &colour) {
            QFile skin(folder + QStringLiteral("/1.she"));
            return skin.open(QIODevice::WriteOnly) &&
                   skin.write((QStringLiteral("/* 测试皮肤 */ QStatusBar#statusBar { background: ") + colour +
                               QStringLiteral("; }"))
                                  .toUtf8()) > 0;
        };
        if (!besideColour.isEmpty())
            QVERIFY(writeSkin(bin, besideColour));
        if (!installedColour.isEmpty())
            QVERIFY(writeSkin(data, installedColour));

        const QString shot = dir.filePath(QStringLiteral("shot.png"));
        const Run run =
            runWindow(executable, {QStringLiteral("--demo"), QStringLiteral("--screenshot"), shot});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QImage image(shot);
        QCOMPARE(image.size(), QSize(791, 446));
        if (redStatusBar)
            QVERIFY(redPixelsInStatusBar(image) > 5000);
        else
            QCOMPARE(redPixelsInStatusBar(image), 0);
    }

    void analysesAnAddressGivenAtStart()
    {
        QTemporaryDir dir;
        const QString shot = dir.filePath(QStringLiteral("analysed.png"));
        const Run run = runWindow(QStringLiteral(VEXA_HELPER_EXE),
                                  {QStringLiteral("--demo"), QStringLiteral("--address"),
                                   QStringLiteral("1003"), QStringLiteral("--screenshot"), shot});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY(run.err.contains(QStringLiteral("is on the clipboard")));
        QCOMPARE(QImage(shot).size(), QSize(791, 446));
    }

    void badOptionsAreUsageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--no-such-option")};
        QTest::newRow("bad host") << QStringList{QStringLiteral("--web-host"), QStringLiteral("http://x/")};
        QTest::newRow("screenshot without file") << QStringList{QStringLiteral("--screenshot")};
    }

    void badOptionsAreUsageErrors()
    {
        QFETCH(QStringList, arguments);
        const Run run = runWindow(QStringLiteral(VEXA_HELPER_EXE), arguments);
        QCOMPARE(run.exitCode, 64);
        QVERIFY2(run.err.contains(QStringLiteral("vexa-helper: ")), qPrintable(run.err));
    }
};

QTEST_GUILESS_MAIN(GuiMainTest)
#include "gui_main_test.moc"
