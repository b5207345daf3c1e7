#include "platform/DataFolder.h"
#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace dw;

namespace {

enum class Where
{
    Writable,        // build folder or portable copy
    Prefix,          // the program folder of the prefix it was built for
    Package,         // /usr/bin, where the package puts it whatever the prefix
    Missing,         // a folder it cannot write to
};

struct Case
{
    const char* name;
    Where where;
    bool organisationSet; // an organisation name would add a folder level to AppDataLocation
    bool xdgDataHome;
    bool expectUserFolder;
};

class ScopedEnv
{
public:
    ScopedEnv(const char* name, const QByteArray& value) : m_name(name), m_had(qEnvironmentVariableIsSet(name))
    {
        m_old = qgetenv(name);
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

class DataFolderRule : public ::testing::TestWithParam<Case>
{};

TEST_P(DataFolderRule, PicksProgramOrUserFolder)
{
    const Case& c = GetParam();
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString home = temp.filePath(QStringLiteral("home"));
    const QString xdg = temp.filePath(QStringLiteral("xdg-data"));
    const QString portable = temp.filePath(QStringLiteral("Portable Copy")) + QLatin1Char('/');
    ASSERT_TRUE(QDir().mkpath(home) && QDir().mkpath(portable));
    ScopedEnv homeEnv("HOME", QFile::encodeName(home));
    ScopedEnv xdgEnv("XDG_DATA_HOME", c.xdgDataHome ? QFile::encodeName(xdg) : QByteArray());
    const QString organisation = QCoreApplication::organizationName();
    QCoreApplication::setOrganizationName(c.organisationSet ? QStringLiteral("Norvex") : QString());

    QString programFolder;
    switch (c.where) {
    case Where::Writable: programFolder = portable; break;
    case Where::Prefix: programFolder = InstalledProgramFolder(); break;
    case Where::Package: programFolder = PackageProgramFolder(); break;
    case Where::Missing: programFolder = temp.filePath(QStringLiteral("gone/bin/")); break;
    }
    SetModuleFileNameForTesting(programFolder + QStringLiteral("datumswecker"));
    const QString folder = ResolveDataFolder();
    SetModuleFileNameForTesting(QString());
    QCoreApplication::setOrganizationName(organisation);

    const QString user = (c.xdgDataHome ? xdg : home + QStringLiteral("/.local/share")) + QStringLiteral("/datumswecker/");
    EXPECT_EQ(folder, c.expectUserFolder ? user : programFolder);
    EXPECT_TRUE(folder.endsWith(QLatin1Char('/')));
    EXPECT_EQ(QDir(user).exists(), c.expectUserFolder) << "created on first start, and only then";
}

const Case cases[] = {
    {"BuildFolder", Where::Writable, false, true, false},
    {"PortableCopyWithOrganisation", Where::Writable, true, false, false},
    {"PrefixProgramFolder", Where::Prefix, false, true, true},
    {"PrefixProgramFolderWithOrganisation", Where::Prefix, true, true, true},
    {"PrefixProgramFolderHomeOnly", Where::Prefix, true, false, true},
    {"PackageProgramFolder", Where::Package, false, true, true},
    {"UnwritableFolder", Where::Missing, false, false, true},
    {"UnwritableFolderWithOrganisation", Where::Missing, true, true, true},
};

INSTANTIATE_TEST_SUITE_P(, DataFolderRule, ::testing::ValuesIn(cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DataFolder, ReadOnlyFolderCountsAsInstalled)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write anywhere";
    QTemporaryDir temp;
    const QString folder = temp.filePath(QStringLiteral("ro/"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_TRUE(RunsInstalled(folder));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(RunsInstalled(folder));
}

} // namespace
