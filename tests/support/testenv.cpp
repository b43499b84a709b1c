// Built into every test executable, and run before its main(): before Qt reads a font or a
// logging rule.
#include <QByteArray>
#include <QLoggingCategory>
#include <QString>

#include <sys/stat.h>
#include <unistd.h>

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
        // Qt's runtime folder, private to this user, so that no test warns of a missing one.
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
            const QByteArray runtime = "/tmp/zem-tests-runtime-" + QByteArray::number(getuid());
            ::mkdir(runtime.constData(), 0700);   // made by an earlier test otherwise
            struct stat st;
            if (::lstat(runtime.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid()) {
                ::chmod(runtime.constData(), 0700);
                qputenv("XDG_RUNTIME_DIR", runtime);
            }
        }
        // Qt ends a test function after five minutes, which a starved machine can take for a
        // long one that is well; a hang is ended by the test runner's own limit.
        if (qEnvironmentVariableIsEmpty("QTEST_FUNCTION_TIMEOUT"))
            qputenv("QTEST_FUNCTION_TIMEOUT", QByteArray::number(24 * 3600 * 1000));
        // The program's diagnostics would bury a failure's own lines; ZEM_TEST_DEBUG=1 shows them.
        if (!env_flag("ZEM_TEST_DEBUG"))
            QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    }
} const g_test_environment;

}
