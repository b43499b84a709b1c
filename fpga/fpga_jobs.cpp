#include "fpga_manage.h"

#include <QDir>
#include <algorithm>

#include "global.h"
#include "route_pattern.h"
#include "scan_file.h"
#include "simdevice.h"
#include "utils.h"

// The jobs a screen posts in g_send_para, served a step per pass of the FPGA thread: the mapping
// send (1), the scan file (2), the save and the mapping switch (3, 4, one job over the ports),
// the recovery query and run (5, 6).

namespace {

constexpr uint32_t kReplyTimeout = 1200;
constexpr uint32_t kRiseTicks = 100;
constexpr uint32_t kFinishTicks = 200;
constexpr int kMaxCardTries = 3;
// A port none of whose cards has answered for a minute has stopped answering: the mapping send
// gives up the cards it has left rather than try each of them for another 36 seconds.
constexpr uint32_t kPortSilenceTicks = 6000;
// The mapping send's bar: up to 85 over the cards, 90 after the last, 100 at the end.
constexpr double kCardsShare = 85;
constexpr int kMappingChunk = 1024;
constexpr uint32_t kQueryTicks = 300;
constexpr uint32_t kRecoveryFileTicks = 150;
constexpr int kCommandPorts = 6;       // ports served by the save and mapping-enable jobs

bool port_silent(int port)
{
    SimLock s;
    return (s->silent_ports >> port) & 1;
}

bool on_stick(const QString &device_path)
{
    return QDir::cleanPath(device_path).startsWith(QLatin1String(rcvRecovery::kUsbDir));
}

}

bool mapping_card_position(const line_type &lt, int index, uint16_t *x, uint16_t *y)
{
    int row = 0, col = 0;
    if (!RoutePattern::cell(lt.route, lt.rows, lt.cols, index, &row, &col))
        return false;
    *x = static_cast<uint16_t>(lt.h_offset + col * lt.cabinet_width);
    *y = static_cast<uint16_t>(lt.v_offset + row * lt.cabinet_height);
    return true;
}

void fpga_manage::set_job_listener(JobListener listener)
{
    QMutexLocker lock(&m_listener_mutex);
    m_listener = std::move(listener);
}

void fpga_manage::emit_progress(int pct)
{
    g_send_para.progress = static_cast<uint8_t>(pct);
    QMutexLocker lock(&m_listener_mutex);
    if (m_listener)
        m_listener(pct);
}

void fpga_manage::end_job()
{
    emit_progress(100);
    g_send_para.job_word.store(0);
}

void fpga_manage::set_step(uint8_t step)
{
    g_send_para.job_word.store(static_cast<uint16_t>(g_send_para.job() | (step << 8)));
}

int fpga_manage::next_port_with_cards(int from) const
{
    for (int p = from; p < kCommandPorts; ++p)
        if (card_count(p) > 0)
            return p;
    return -1;
}

void fpga_manage::job_mapping_send()
{
    SEND_PARA &sp = g_send_para;
    if (sp.step() == 0)
        m_job_line = g_line_type;
    const int port = m_job_line.port;
    switch (sp.step()) {
    case 0:
        search_cards();
        sp.port = static_cast<uint8_t>(port);
        sp.card_index = 0;
        sp.retries = 0;
        sp.progress = 0;
        m_send_share = 0;
        m_last_answer = sp.rise_stamp = G_timeTicks.load();
        set_step(1);
        break;
    case 1: {
        if (sp.card_index >= card_count(port)) {
            emit_progress(90);
            set_step(3);
            break;
        }
        uint16_t x = 0, y = 0;
        const bool placed = mapping_card_position(m_job_line, sp.card_index, &x, &y);
        {
            SimLock s;
            if (SimDevice::card_hears(*s, port, sp.card_index)) {
                SimCard &card = s->cards[port][sp.card_index];
                card.placed = placed;
                card.x = placed ? x : 0;
                card.y = placed ? y : 0;
            }
        }
        sp.time_stamp = G_timeTicks.load();
        set_step(2);
        break;
    }
    case 2:
        wait_for_card();
        break;
    default:
        end_job();
        break;
    }
}

// Job 1, step 2: the card's answer, another try, or the port given up; the bar moves meanwhile.
void fpga_manage::wait_for_card()
{
    SEND_PARA &sp = g_send_para;
    const int port = m_job_line.port;
    const uint32_t now = G_timeTicks.load();
    if (SimDevice::card_answered(port, sp.card_index, sp.time_stamp)) {
        m_last_answer = sp.rise_stamp = now;
        next_card();
    } else if (Utils::getTimeSpace(m_last_answer) >= kPortSilenceTicks) {
        sp.card_index = static_cast<uint8_t>(card_count(port));
        set_step(1);
    } else if (Utils::getTimeSpace(sp.time_stamp) >= kReplyTimeout) {
        // Try the card again, but not for ever: a dead card must not hold the screen.
        if (++sp.retries >= kMaxCardTries)
            next_card();
        else
            set_step(1);
    } else if (Utils::getTimeSpace(sp.rise_stamp) >= kRiseTicks) {
        // A port that stays silent is given up kPortSilenceTicks after its last answer: the wait
        // moves the bar at the pace that brings it to the cards' end by then.
        const uint32_t period = now - sp.rise_stamp;
        const uint32_t silent_before = sp.rise_stamp - m_last_answer;
        const double part = silent_before + period < kPortSilenceTicks
                                ? double(period) / double(kPortSilenceTicks - silent_before)
                                : 1.0;
        m_send_share += (kCardsShare - m_send_share) * part;
        sp.rise_stamp = now;
        tell_send_share();
    }
}

// The card is done, answered or given up: it takes its part of what is left of the bar.
void fpga_manage::next_card()
{
    SEND_PARA &sp = g_send_para;
    const int total = card_count(m_job_line.port);
    m_send_share += (kCardsShare - m_send_share) / std::max(1, total - sp.card_index);
    sp.card_index++;
    sp.retries = 0;
    if (sp.card_index < total)
        tell_send_share();
    set_step(1);
}

void fpga_manage::tell_send_share()
{
    const int pct = static_cast<int>(m_send_share);
    if (pct != g_send_para.progress)
        emit_progress(pct);
}

// 99 only for a whole file: a load cut short closes its bar below it.
void fpga_manage::end_load(bool whole)
{
    m_load_whole = whole;
    if (whole && g_send_para.progress != 99)
        emit_progress(99);
    m_job_file.reset();
    set_step(2);
}

void fpga_manage::job_mapping_file()
{
    SEND_PARA &sp = g_send_para;
    switch (sp.step()) {
    case 0:
        m_job_line = g_line_type;
        sp.port = m_job_line.port;
        m_load_whole = false;
        m_job_file = ScanFile::open(qyfile_name());
        // The stick may have gone between the list and the load.
        if (!m_job_file && on_stick(qyfile_name()))
            StickPlace::tell();
        set_step(m_job_file ? 1 : 2);
        break;
    case 1: {
        char chunk[kMappingChunk];
        const qint64 n = m_job_file->read(chunk, sizeof chunk);
        // A read error, a pulled stick, or a file that shrank under the job: the cards keep what
        // they got.
        if (n <= 0) {
            end_load(false);
            break;
        }
        if (sp.port < 16 && !port_silent(sp.port)) {
            SimLock s;
            for (SimCard &card : s->cards[sp.port])
                card.loaded_bytes += static_cast<int>(n);
        }
        if (m_job_file->sent() < m_job_file->size()) {
            const int pct = static_cast<int>(m_job_file->sent() * 99 / m_job_file->size());
            if (pct != sp.progress)
                emit_progress(pct);
            break;
        }
        // Checked in the pass of the last read: a file written over after it would pass for
        // one written over during the load.
        set_step(3);
        [[fallthrough]];
    }
    case 3: {
        const ScanFile::Verdict verdict = m_job_file->check();
        if (verdict != ScanFile::Verdict::Undecided)
            end_load(verdict == ScanFile::Verdict::Whole);
        break;
    }
    default:
        end_job();
        break;
    }
}

void fpga_manage::job_port_command(bool save)
{
    SEND_PARA &sp = g_send_para;
    if (save && pc_cmd_valid.load())
        return;
    switch (sp.step()) {
    case 0:
        m_job_mapping_state = sp.mapping_state;
        search_cards();
        sp.port = 0;
        sp.progress = 0;
        m_job_ports = 0;
        for (int p = next_port_with_cards(0); p >= 0; p = next_port_with_cards(p + 1))
            m_job_ports++;
        m_ports_done = 0;
        set_step(1);
        break;
    case 1: {
        const int p = next_port_with_cards(sp.port);
        const uint32_t now = G_timeTicks.load();
        if (p < 0) {
            emit_progress(95);
            sp.time_stamp = now;
            set_step(3);
            break;
        }
        {
            SimLock s;
            for (int c = 0; c < static_cast<int>(s->cards[p].size()); ++c) {
                if (!SimDevice::card_hears(*s, p, c))
                    continue;
                SimCard &card = s->cards[p][static_cast<size_t>(c)];
                if (save)
                    card.saves++;
                else
                    card.mapping_state = m_job_mapping_state;
            }
        }
        sp.port = static_cast<uint8_t>(p);
        sp.time_stamp = now;
        sp.rise_stamp = now;
        set_step(2);
        break;
    }
    case 2:
        if (SimDevice::port_answered(sp.port, sp.time_stamp) || Utils::getTimeSpace(sp.time_stamp) >= kReplyTimeout) {
            sp.port++;
            m_ports_done++;
            set_step(1);
        } else if (Utils::getTimeSpace(sp.rise_stamp) >= kRiseTicks) {
            // Each port with cards has an equal part of the bar below 90, filled as its wait runs
            // out: the bar rises all the way, however many ports stay silent.
            sp.rise_stamp = G_timeTicks.load();
            const double waited = double(Utils::getTimeSpace(sp.time_stamp)) / kReplyTimeout;
            const int pct = static_cast<int>(90 * (m_ports_done + std::min(1.0, waited)) / std::max(1, m_job_ports));
            if (pct > sp.progress)
                emit_progress(pct);
        }
        break;
    default:
        if (Utils::getTimeSpace(sp.time_stamp) >= kFinishTicks)
            end_job();
        break;
    }
}

void fpga_manage::job_recovery_query()
{
    SEND_PARA &sp = g_send_para;
    if (sp.step() == 0) {
        rcv_recovery->get_dir_file(QString::fromLatin1(rcvRecovery::kRecoveryDir));
        m_recovery_files.store(rcv_recovery->file_count());
        sp.progress = 0;
        sp.time_stamp = sp.rise_stamp = G_timeTicks.load();
        set_step(1);
        return;
    }
    if (Utils::getTimeSpace(sp.time_stamp) >= kQueryTicks) {
        search_cards();
        int found[16];
        for (int p = 0; p < 16; ++p)
            found[p] = card_count(p);
        int cards = 0;
        {
            SimLock s;
            for (int p = 0; p < 16; ++p)
                for (int c = 0; c < found[p]; ++c)
                    cards += SimDevice::card_hears(*s, p, c);
        }
        m_recovery_cards.store(cards);
        end_job();
    } else if (Utils::getTimeSpace(sp.rise_stamp) >= kQueryTicks / 10) {
        sp.rise_stamp = G_timeTicks.load();
        emit_progress(std::min(90, sp.progress + 10));
    }
}

void fpga_manage::job_recovery_run()
{
    SEND_PARA &sp = g_send_para;
    switch (sp.step()) {
    case 0:
        rcv_recovery->get_dir_file(QString::fromLatin1(rcvRecovery::kRecoveryDir));
        m_job_files = rcv_recovery->file_list();
        m_job_sent = 0;
        sp.progress = 0;
        search_cards();
        set_step(m_job_files.isEmpty() ? 3 : 1);
        break;
    case 1: {
        if (m_job_sent >= m_job_files.size()) {
            set_step(3);
            break;
        }
        const QString name = m_job_files.at(m_job_sent);
        if (!rcvRecovery::read_file(QString::fromLatin1(rcvRecovery::kRecoveryDir), name).isEmpty()) {
            SimLock s;
            s->replayed_files << name;
            for (int p = 0; p < 16; ++p)
                for (int c = 0; c < static_cast<int>(s->cards[p].size()); ++c)
                    s->cards[p][static_cast<size_t>(c)].recoveries += SimDevice::card_hears(*s, p, c);
        }
        sp.time_stamp = G_timeTicks.load();
        set_step(2);
        break;
    }
    case 2: {
        const uint32_t spent = std::min(Utils::getTimeSpace(sp.time_stamp), kRecoveryFileTicks);
        const int n = m_job_files.size();
        const int pct = static_cast<int>((m_job_sent * kRecoveryFileTicks + spent) * 95 / (n * kRecoveryFileTicks));
        if (pct != sp.progress)
            emit_progress(pct);
        if (spent >= kRecoveryFileTicks) {
            m_job_sent++;
            set_step(1);
        }
        break;
    }
    default:
        m_job_files.clear();
        end_job();
        break;
    }
}
