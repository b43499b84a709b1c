// The smart-mapping wizard's Load scan: what the simulated receiving cards get of the file chosen.
#include "smartmappingfx.h"

using namespace smartfx;

class TestSmartMappingLoadingSent : public QObject
{
    Q_OBJECT
private slots:
    void init() { fresh_wizard(); }
    void cleanup() { uitest::close_all(); }

    // Load sends the chosen file, as it was when Load was pressed, to the receiving cards of the
    // port chosen; the list changing during the job does not change what is sent.
    void scan_file_loaded_into_the_cards()
    {
        write_dev_file(QStringLiteral("/data/smartmapping/a.qyfile"), QByteArray(1000, 'a'));
        write_dev_file(QStringLiteral("/mnt/usb1/b.qyfile"), QByteArray(2500, 'b'));
        open_wizard("r o o r o r o");   // port 1 (LED2), Next
        act("r o o");                   // the second file, Load
        QCOMPARE(int(g_send_para.job()), int(JOB_MAPPING_FILE));
        // The keys are back on the rows while the file is sent.
        QCOMPARE(load_scan().cursor_on_buttons(), false);
        QCOMPARE(uitest::look(wizard(), "Button_load"), LookState::Normal);
        QCOMPARE(list_rows(), QStringLiteral("a.qyfile b.qyfile+*"));
        write_dev_file(QStringLiteral("/mnt/usb1/0.qyfile"), QByteArray(700, '0'));
        uitest::para()->test_signal(CHANGE_USB_MOUNTED);
        QCOMPARE(list_rows(), QStringLiteral("a.qyfile* 0.qyfile+ b.qyfile+"));
        QCOMPARE(qyfile_name(), QStringLiteral("/mnt/usb1/b.qyfile"));
        QCOMPARE(run_job().last(), 100);
        SimLock s;
        QCOMPARE((QList<int>{s->cards[0][0].loaded_bytes, s->cards[1][0].loaded_bytes}), (QList<int>{0, 2500}));
    }
};

QTEST_MAIN(TestSmartMappingLoadingSent)
#include "test_smartmapping_loading_sent.moc"
