// The serial port and network address screens: the serial screen's keys, touches and language
// refresh (its texts are the gallery's to check); the network octets typed by keys, touches and
// the keyboard through Apply to the INI keys in one write and the exact eth0 commands, octets
// that are no octet refused and shown empty, and an address the file did not take never put in
// force.
#include <QSettings>

#include "linkcom.h"
#include "linkwlan.h"
#include "mainfixture.h"
#include "my_lineedit.h"

using namespace mainfx;
using Setup = std::function<void()>;
Q_DECLARE_METATYPE(Setup)

namespace {

const char kIni[] = "/data/configs/tcpip.ini";
const QStringList kSerialCaptions{"label_com", "label_baud", "label_bit", "label_stop"};
const QStringList kSerialValues{"Button_baud", "pushButton", "pushButton_2"};
QStringList serial(const QStringList &names)
{
    QStringList out;
    for (const QString &name : names)
        out << uitest::text(g_linkcom, name);
    return out;
}

QString ini(const char *key)
{
    return QSettings(Paths::dev(kIni), QSettings::IniFormat).value(QStringLiteral("config/") + key).toString();
}
QString stored_in_ini() { return ini("IPAddress") + ' ' + ini("SubNetMask") + ' ' + ini("GateWay"); }
QString in_force() { return g_str_ip + ' ' + g_srt_mask + ' ' + g_str_gateway; }

// What eth0's set-up runs for an address, a mask and a gateway, after the flush.
QStringList setup_commands(const QString &ip, const QString &mask, const QString &gateway)
{
    return {"sync",
            "ifconfig eth0 >/dev/null 2>&1",
            "route del default wlan0",
            QStringLiteral("ifconfig eth0 %1 netmask %2").arg(ip, mask),
            QStringLiteral("route add -host %1 dev eth0").arg(gateway),
            QStringLiteral("route add default gw %1 metric 100").arg(gateway),
            "route add -host 255.255.255.255 eth0",
            "route del 255.255.255.255 wlan1"};
}

// The twelve octets as shown, rows apart: "192 168 1 199 | 255 255 255 0 | 192 168 1 1"; "_" for
// an empty one.
QString octets()
{
    QStringList rows;
    for (const char *row : {"Ip", "Mask", "Gate"}) {
        QStringList row_octets;
        for (int k = 1; k <= 4; ++k) {
            const QString text = uitest::text(g_linkwlan, QStringLiteral("lineEdit%1%2").arg(row).arg(k));
            row_octets << (text.isEmpty() ? QStringLiteral("_") : text);
        }
        rows << row_octets.join(' ');
    }
    return rows.join(QStringLiteral(" | "));
}

// Keys on the numeric keyboard from wherever its focus stands, each reached the short way round:
// digits, C clear, X backspace, N close, K confirm.
void keyboard(const QString &keys)
{
    QVERIFY(g_numberkeyboard->isVisible());
    for (QChar k : keys) {
        const int target = k.isDigit() ? (k == QLatin1Char('0') ? 9 : k.digitValue() - 1) : 10 + QStringLiteral("CXNK").indexOf(k);
        const int ahead = ((target - g_numberkeyboard->focus_index()) % 14 + 14) % 14;
        for (int i = 0; i < qMin(ahead, 14 - ahead); ++i)
            uitest::key(g_numberkeyboard, ahead <= 7 ? Qt::Key_F5 : Qt::Key_F4);
        uitest::key(g_numberkeyboard, Qt::Key_F6);
    }
}

// A script of the screen's keys (press shorthand), keyboard keys in brackets ("o[25K]") and
// touches on a widget in braces ("{lineEditMask2}").
void run(const QString &script)
{
    for (int i = 0; i < script.size(); ++i) {
        const QChar c = script[i];
        if (c == QLatin1Char('[') || c == QLatin1Char('{')) {
            const int end = script.indexOf(c == QLatin1Char('[') ? QLatin1Char(']') : QLatin1Char('}'), i);
            const QString inner = script.mid(i + 1, end - i - 1);
            if (c == QLatin1Char('['))
                keyboard(inner);
            else
                QTest::mouseClick(g_linkwlan->findChild<QWidget *>(inner), Qt::LeftButton);
            i = end;
        } else {
            press(c);
        }
    }
}

void open_link_option()
{
    open_option("rrro");
    QVERIFY(g_linkoption && g_page_focus == PAGE_LINKOPTION);
}
void open_linkwlan()
{
    open_link_option();
    press("ro");
    QVERIFY(g_linkwlan && g_page_focus == PAGE_LINKWLAN);
}
void stored(const char *ip, const char *mask, const char *gateway)
{
    g_str_ip = QString::fromLatin1(ip);
    g_srt_mask = QString::fromLatin1(mask);
    g_str_gateway = QString::fromLatin1(gateway);
}

}

class TestLink : public QObject
{
    Q_OBJECT
private slots:
    void init() { start(); }
    void cleanup() { uitest::close_all(); }

    // ---- serial port ------------------------------------------------------------------------

    // The screen is a display: the keys move nothing and store nothing, back and mode leave, and
    // the key panel's letters still reach the key panel.
    void serial_keys_data()
    {
        columns<QString, int, QString, bool>({"keys", "page", "open", "image"});
        QTest::newRow("left, right and OK do nothing") << "lrolROL" << 21 << "option linkoption linkcom" << false;
        QTest::newRow("back to the communication menu") << "rb" << 10 << "option linkoption" << false;
        QTest::newRow("back by its letter") << "B" << 10 << "option linkoption" << false;
        QTest::newRow("mode closes the chain") << "m" << 4 << "" << false;
        QTest::newRow("mode under the key lock does nothing") << "!mM" << 21 << "option linkoption linkcom" << false;
        QTest::newRow("the key panel's freeze letter freezes the image") << "^N" << 21 << "option linkoption linkcom" << true;
    }
    void serial_keys()
    {
        QFETCH(QString, keys);
        QFETCH(bool, image);
        open_link_option();
        press("o");
        const QStringList values = serial(kSerialValues);
        const QByteArray file = read_dev_file("/data/ram_device_info");
        uint8_t before[Ram::kSize];
        std::memcpy(before, uitest::para()->RAM_PARA, sizeof before);
        press(keys);
        QTEST(int(g_page_focus), "page");
        QTEST(open_screens(), "open");
        if (g_linkcom)
            QCOMPARE(serial(kSerialValues), values);
        uitest::para()->RAM_PARA[Ram::kKeyLock] = before[Ram::kKeyLock];
        QCOMPARE(std::memcmp(before, uitest::para()->RAM_PARA, sizeof before) != 0, image);
        if (!image)
            QCOMPARE(read_dev_file("/data/ram_device_info"), file);
        QVERIFY(shell_log().isEmpty());
    }
    // A touch on a value does nothing. A language changed meanwhile shows at the next refresh, not
    // before, with the texts an opening in that language shows; the values stay.
    void serial_touch_and_language()
    {
        open_link_option();
        press("o");
        const QStringList values = serial(kSerialValues);
        const QStringList english = serial(kSerialCaptions);
        for (const QString &name : kSerialValues)
            QTest::mouseClick(g_linkcom->findChild<QPushButton *>(name), Qt::LeftButton);
        QCOMPARE(open_screens(), QStringLiteral("option linkoption linkcom"));
        const QString menu_title = uitest::text(g_linkoption, "Button_com");
        uitest::para()->RAM_PARA[Ram::kLanguage] = LANG_RU;
        QCOMPARE(serial(kSerialCaptions), english);
        uitest::para()->test_signal(CHANGE_PARA);
        const QStringList russian = serial(kSerialCaptions);
        QCOMPARE(serial(kSerialValues), values);
        press("b");
        QVERIFY(uitest::text(g_linkoption, "Button_com") != menu_title);
        press("o");
        QCOMPARE(serial(kSerialCaptions), russian);
        QVERIFY(russian != english);
    }

    // ---- network address --------------------------------------------------------------------

    void shows_the_stored_address_data()
    {
        columns<QString, QString, QString, QString>({"ip", "mask", "gateway", "octets"});
        QTest::newRow("defaults") << "192.168.1.199" << "255.255.255.0" << "192.168.1.1"
                                  << "192 168 1 199 | 255 255 255 0 | 192 168 1 1";
        QTest::newRow("a gateway of three parts shows an empty last octet")
            << "10.0.0.5" << "255.0.0.0" << "10.0.1" << "10 0 0 5 | 255 0 0 0 | 10 0 1 _";
        QTest::newRow("an empty part stays empty in its place") << "192.168..5" << "" << "1.2.3.4.5"
                                                                << "192 168 _ 5 | _ _ _ _ | 1 2 3 4";
        QTest::newRow("leading zeros show as the numbers they are") << "010.0.0.5" << "255.255.255.000" << "192.168.1.01"
                                                                   << "10 0 0 5 | 255 255 255 0 | 192 168 1 1";
    }
    void shows_the_stored_address()
    {
        QFETCH(QString, ip);
        QFETCH(QString, mask);
        QFETCH(QString, gateway);
        g_str_ip = ip, g_srt_mask = mask, g_str_gateway = gateway;
        open_linkwlan();
        QTEST(octets(), "octets");
    }
    void focus_keys_data()
    {
        // focus: the focused row after the keys ("" once the screen is left)
        columns<QString, QString, int, QString>({"keys", "focus", "page", "open"});
        const QString here = "option linkoption linkwlan";
        QTest::newRow("left from the first octet to Cancel") << "l" << "Button_cancle" << 22 << here;
        QTest::newRow("right from Cancel to the first octet") << "lr" << "lineEditIp1" << 22 << here;
        QTest::newRow("right from the last gateway octet to Apply") << "rrrrrrrrrrrr" << "Button_apply" << 22 << here;
        QTest::newRow("letters move as keys") << "RRRRRL" << "lineEditMask1" << 22 << here;
        QTest::newRow("OK on Cancel leaves") << "lo" << "" << 10 << "option linkoption";
        QTest::newRow("back leaves") << "rrb" << "" << 10 << "option linkoption";
        QTest::newRow("mode closes the chain") << "rm" << "" << 4 << "";
        QTest::newRow("mode under the key lock does nothing") << "r!mM" << "lineEditIp2" << 22 << here;
    }
    void focus_keys()
    {
        QFETCH(QString, keys);
        open_linkwlan();
        press(keys);
        QTEST(int(g_page_focus), "page");
        QString focus;
        if (g_linkwlan) {
            const FocusList &f = g_linkwlan->focus();
            focus = f.current()->objectName();
            for (int i = 0; i < f.size(); ++i)
                QCOMPARE(look_state(f.at(i)), i == f.index() ? LookState::Focus : LookState::Normal);
        }
        QTEST(focus, "focus");
        QTEST(open_screens(), "open");
    }
    // The octets typed by keys, touches and the keyboard, then Apply: the edits, the INI, the
    // commands run and the refreshes announced.
    void apply_data()
    {
        // applied: the octets shown are stored, put in force and announced, as one address.
        columns<Setup, QString, QString, bool>({"setup", "script", "shown", "applied"});
        const Setup none = [] {};
        QTest::newRow("third IP octet by OK and the keyboard") << none << "rro[5K]rrrrrrrrrro"
            << "192 168 5 199 | 255 255 255 0 | 192 168 1 1" << true;
        QTest::newRow("only the gateway: all three stored, the whole set-up run") << none << "lllo[254K]ro"
            << "192 168 1 199 | 255 255 255 0 | 192 168 1 254" << true;
        QTest::newRow("a touch types into the touched octet, the focus stays") << none << "{lineEditMask3}[0K]llo"
            << "192 168 1 199 | 255 255 0 0 | 192 168 1 1" << true;
        QTest::newRow("0 and 255 are octets") << none << "o[C0K]rrrro[255K]rrrrrrrro"
            << "0 168 1 199 | 255 255 255 0 | 192 168 1 1" << true;
        QTest::newRow("unchanged: nothing stored, run or announced") << none << "llo"
            << "192 168 1 199 | 255 255 255 0 | 192 168 1 1" << false;
        QTest::newRow("typed back as it was: nothing stored") << none << "o[192K]llo"
            << "192 168 1 199 | 255 255 255 0 | 192 168 1 1" << false;
        QTest::newRow("300 refused: the octet shows empty and Apply takes nothing") << none << "o[300K]llo"
            << "_ 168 1 199 | 255 255 255 0 | 192 168 1 1" << false;
        QTest::newRow("a refused octet beside a typed one: nothing applied") << none << "o[10K]ro[300K]rrrrrrrrrrro"
            << "10 _ 1 199 | 255 255 255 0 | 192 168 1 1" << false;
        QTest::newRow("typed again after the refusal: applied") << none << "o[10K]ro[300K]o[16K]rrrrrrrrrrro"
            << "10 16 1 199 | 255 255 255 0 | 192 168 1 1" << true;
        QTest::newRow("256 refused") << none << "rrrro[256K]"
            << "192 168 1 199 | _ 255 255 0 | 192 168 1 1" << false;
        QTest::newRow("four digits refused") << none << "o[1000K]"
            << "_ 168 1 199 | 255 255 255 0 | 192 168 1 1" << false;
        QTest::newRow("an entry backspaced to nothing refused") << none << "rro[XK]"
            << "192 168 _ 199 | 255 255 255 0 | 192 168 1 1" << false;
        QTest::newRow("the keyboard closed: the octet as it was") << none << "o[7N]llo"
            << "192 168 1 199 | 255 255 255 0 | 192 168 1 1" << false;
        const Setup short_gateway = [] { stored("192.168.1.199", "255.255.255.0", "192.168.1"); };
        // As a file written elsewhere holds them, read by a start.
        const Setup leading_zero = [] {
            write_dev_file(kIni, "[config]\nIPAddress=192.168.010.5\nGateWay=192.168.1.01\n");
            ConfigEngine::destroy_for_test(), ConfigEngine::pInstance();
        };
        QTest::newRow("an empty stored octet: nothing applied until it is typed") << short_gateway << "llolo[1K]"
            << "192 168 1 199 | 255 255 255 0 | 192 168 1 1" << false;
        QTest::newRow("then typed: the whole address applied") << short_gateway << "llolo[1K]ro"
            << "192 168 1 199 | 255 255 255 0 | 192 168 1 1" << true;
        QTest::newRow("stored leading zeros show as their numbers: unchanged, nothing applied") << leading_zero << "llo"
            << "192 168 10 5 | 255 255 255 0 | 192 168 1 1" << false;
        QTest::newRow("beside them a typed octet: the address applied in plain form") << leading_zero << "o[11K]llo"
            << "11 168 10 5 | 255 255 255 0 | 192 168 1 1" << true;
    }
    void apply()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, script);
        QFETCH(QString, shown);
        QFETCH(bool, applied);
        setup();
        const QString before = stored_in_ini();
        open_linkwlan();
        QSignalSpy announced(uitest::para(), &ZemRamPara::sig_update_para);
        FileChanges changes(Paths::dev(kIni));
        run(script);
        QCOMPARE(octets(), shown);
        const QStringList address = QString(shown).replace(' ', '.').split(QStringLiteral(".|."));
        const QString stored = applied ? address.join(' ') : before;
        QCOMPARE(stored_in_ini(), stored);
        QCOMPARE(shell_log(), applied ? setup_commands(address[0], address[1], address[2]) : QStringList());
        // The address, the mask and the gateway reach the file in one write.
        QCOMPARE((QList<int>{changes.count(), announced.count()}), (QList<int>{applied, applied}));
        if (applied) {
            // Put in force, and the screen stays on Apply.
            QCOMPARE(in_force(), stored);
            QCOMPARE(g_linkwlan->focus().current()->objectName(), QStringLiteral("Button_apply"));
        }
        QCOMPARE(int(g_page_focus), int(PAGE_LINKWLAN));
    }
    // Mask octets ask under "Mask", address and gateway octets under "IP"; by OK and by a touch,
    // which leaves the focus where it was.
    void keyboard_titles()
    {
        open_linkwlan();
        QStringList titles;
        for (int i = 0; i < 12; ++i) {
            press("o");
            titles << uitest::text(g_numberkeyboard, "label");
            keyboard("N");
            press("r");
        }
        QCOMPARE(titles.join(' '), QStringLiteral("IP IP IP IP Mask Mask Mask Mask IP IP IP IP"));
        QCOMPARE(g_linkwlan->focus_index(), int(linkwlan::kApplyRow));
        QTest::mouseClick(g_linkwlan->findChild<QWidget *>("lineEditMask2"), Qt::LeftButton);
        QCOMPARE(uitest::text(g_numberkeyboard, "label"), QStringLiteral("Mask"));
        QCOMPARE(g_linkwlan->focus_index(), int(linkwlan::kApplyRow));
        keyboard("N");
    }
    // Touches on Apply and Cancel do nothing: they act on the keys alone.
    void buttons_ignore_touches()
    {
        open_linkwlan();
        run("o[7K]");
        QTest::mouseClick(g_linkwlan->findChild<QPushButton *>("Button_apply"), Qt::LeftButton);
        QTest::mouseClick(g_linkwlan->findChild<QPushButton *>("Button_cancle"), Qt::LeftButton);
        QCOMPARE(int(g_page_focus), int(PAGE_LINKWLAN));
        QVERIFY(shell_log().isEmpty());
        QCOMPARE(ini("IPAddress"), QStringLiteral("192.168.1.199"));
    }
    // Only the keyboard writes an octet: keys that reach a touched (and so focused) edit type
    // nothing into it.
    void octets_take_no_typed_keys()
    {
        open_linkwlan();
        auto *edit = g_linkwlan->findChild<QLineEdit *>("lineEditIp2");
        QTest::mouseClick(edit, Qt::LeftButton);
        keyboard("N");
        QTest::keyClicks(edit, "7R");
        QCOMPARE(edit->text(), QStringLiteral("168"));
    }
    // An address the configuration file did not take is not put in force: the file and the
    // configuration read back stay wholly old, nothing is run, the failure is said on the error
    // output and no check mark shows. Once the file can be written again the same Apply goes
    // through.
    void unsaved_address_not_put_in_force()
    {
        const QString defaults = QStringLiteral("192.168.1.199 255.255.255.0 192.168.1.1");
        open_linkwlan();
        run("o[10K]rrrro[254K]");
        const QByteArray old_file = read_dev_file(kIni);
        int said = 0;
        {
            Warnings warnings;
            FullDisk full;
            run("rrrrrrrro");
            said = warnings.count(QStringLiteral("network address 10.168.1.199, mask 254.255.255.0, gateway 192.168.1.1 not saved"));
        }
        QCOMPARE(read_dev_file(kIni), old_file);
        QStringList configured;
        for (auto key : {ConfigItem::IPAddress, ConfigItem::SubNetMask, ConfigItem::GateWay})
            configured << ConfigEngine::p_config->read_config_variant(key).toString();
        QCOMPARE(configured.join(' '), defaults);
        QVERIFY(shell_log().isEmpty());
        QCOMPARE(in_force(), defaults);
        QVERIFY(!g_tip->isVisible());
        QCOMPARE(octets(), QStringLiteral("10 168 1 199 | 254 255 255 0 | 192 168 1 1"));
        QCOMPARE(said, 1);
        run("o");
        QCOMPARE(shell_log(), setup_commands("10.168.1.199", "254.255.255.0", "192.168.1.1"));
        QCOMPARE(in_force(), QStringLiteral("10.168.1.199 254.255.255.0 192.168.1.1"));
        QCOMPARE(stored_in_ini(), in_force());
    }
    // Edits left unapplied are dropped: the next opening shows what is in force.
    void leaving_drops_the_edits()
    {
        open_linkwlan();
        run("o[10K]b");
        QCOMPARE(int(g_page_focus), int(PAGE_LINKOPTION));
        press("o");
        QCOMPARE(octets(), QStringLiteral("192 168 1 199 | 255 255 255 0 | 192 168 1 1"));
    }
    void language_change_keeps_the_edits()
    {
        open_linkwlan();
        run("o[10K]");
        uitest::para()->RAM_PARA[Ram::kLanguage] = LANG_VI;
        uitest::para()->test_signal(CHANGE_PARA);
        QCOMPARE(uitest::texts(g_linkwlan, {"label_wlan", "Button_apply", "Button_cancle"}).join('|'),
                 QString::fromUtf8("Cài đặt cổng mạng|Đồng ý|Hủy bỏ"));
        QCOMPARE(octets(), QStringLiteral("10 168 1 199 | 255 255 255 0 | 192 168 1 1"));
    }
};

QTEST_MAIN(TestLink)
#include "test_link.moc"
