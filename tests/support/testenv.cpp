// Built into every test executable, and run before its main(): before Qt reads a font or a
// logging rule.
#include <QByteArray>
#include <QLoggingCategory>
#include <QString>

namespace {

bool env_flag(const char *name)
{
    const QByteArray value = qgetenv(name);
    return !value.isEmpty() && value != "0";
}

struct TestEnvironment
{
    TestEnvironment()
    {
        // Only the fonts scripts/deps installs, through the project's own fontconfig file: what a
        // test measures or pictures must not depend on the other fonts a machine happens to have.
        qputenv("FONTCONFIG_FILE", ZEM_FONTS_CONF);
        qunsetenv("FONTCONFIG_PATH");
        qunsetenv("FONTCONFIG_SYSROOT");
        // The program's diagnostics would bury a failure's own lines; ZEM_TEST_DEBUG=1 shows them.
        if (!env_flag("ZEM_TEST_DEBUG"))
            QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    }
} const g_test_environment;

}
