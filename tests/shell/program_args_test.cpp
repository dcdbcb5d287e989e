// The program's command line: help and version on standard output, a usage error on standard error
// with status 2. None of them needs a display.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#ifndef HV_PROGRAM_PATH
#error "HV_PROGRAM_PATH names the halvane2 executable"
#endif

namespace {
TEST(ProgramArguments, HelpVersionAndUsageErrors) {
    const struct {
        QStringList arguments;
        int status;
        const char* out;  // a line of standard output, or nullptr for none
        const char* err;  // a line of standard error, or nullptr for none
    } cases[] = {
        {{"--version"}, 0, "HALVANE-2 1.02", nullptr},
        {{"-v"}, 0, "HALVANE-2 1.02", nullptr},
        {{"--help"}, 0, "Usage: halvane2 [options] [FILE...]", nullptr},
        {{"-platform", "offscreen", "-h"},
         0,
         "  --workbench    Show the image workbench: the tool strip, 開く and 保存, and the",
         nullptr},
        {{"--bogus", "a.fits"}, 2, nullptr, "halvane2: Unknown option 'bogus'."},
        {{"--workbench=yes"}, 2, nullptr, "Usage: halvane2 [options] [FILE...]"},
    };
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(HV_PROGRAM_PATH), c.arguments);
        ASSERT_TRUE(program.waitForFinished(30000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), c.status);
        const QStringList out = QString::fromUtf8(program.readAllStandardOutput()).split('\n');
        const QStringList err = QString::fromUtf8(program.readAllStandardError()).split('\n');
        EXPECT_EQ(c.out ? out.contains(QString::fromUtf8(c.out)) : out == QStringList{""}, true)
            << out.join('\n').toStdString();
        EXPECT_EQ(c.err ? err.contains(QString::fromUtf8(c.err)) : err == QStringList{""}, true)
            << err.join('\n').toStdString();
    }
}
}  // namespace
