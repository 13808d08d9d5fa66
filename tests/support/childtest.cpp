#include "childtest.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace peltavo::test {

void expectPassesInChild(const char* name, const char* variable, const QString& value, bool alone) {
    QTemporaryDir folder;
    QString program = QStringLiteral("/proc/self/exe");
    if (alone) {
        const QString copy = folder.filePath(QStringLiteral("test_program"));
        ASSERT_TRUE(QFile::copy(program, copy));
        ASSERT_TRUE(QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        program = copy;
        // Alone, but with the Jet reader the program starts beside itself.
        const QString reader =
            QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath() +
            QStringLiteral("/peltavo-jetread");
        if (QFile::exists(reader))
            ASSERT_TRUE(QFile::copy(reader, folder.filePath(QStringLiteral("peltavo-jetread"))));
    }
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(variable), value);
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(program, {QStringLiteral("--gtest_filter=") + QString::fromLatin1(name)});
    ASSERT_TRUE(child.waitForFinished(120000)) << name << " did not end";
    const std::string output = child.readAll().toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test."), std::string::npos) << output;
}

} // namespace peltavo::test
