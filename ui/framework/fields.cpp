#include "fields.h"

#include <QComboBox>

#include "my_lineedit.h"
#include "numberkeyboard.h"

NumberField::NumberField(My_lineEdit *edit, std::function<QString()> title, Accept accept)
    : QObject(edit), m_edit(edit), m_title(std::move(title)), m_accept(std::move(accept))
{
    QObject::connect(edit, &My_lineEdit::send_show, this, [this] { open(); });
}

void NumberField::open()
{
    if (!g_numberkeyboard)
        return;
    g_numberkeyboard->ask(this, m_title ? m_title() : QString(), m_edit->text(), [this](const QString &text) {
        if (m_accept)
            m_accept(text);
        else
            m_edit->setText(text);
    });
}

ChoiceField::ChoiceField(QComboBox *box, std::function<bool(int)> selectable)
    : m_box(box), m_selectable(std::move(selectable))
{
    // The keys alone change the choice: a touch would open the popup, and an entry picked there
    // would show a value that is neither stored nor in force, yet stored by the next OK.
    if (m_box)
        m_box->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ChoiceField::set_entries(const QStringList &texts, int current)
{
    m_box->clear();
    m_box->addItems(texts);
    m_box->setCurrentIndex(current);
}

int ChoiceField::current() const
{
    return m_box->currentIndex();
}

FocusList::Editor ChoiceField::editor(std::function<void(int)> store)
{
    FocusList::Editor e;
    e.begin = [this] {
        m_saved = m_box->currentIndex();
        return m_box->count() > 0;
    };
    e.step = [this](int delta) {
        const int n = m_box->count();
        int i = m_box->currentIndex();
        // At most one round: a box where nothing is selectable keeps its entry.
        for (int tries = 0; tries < n; ++tries) {
            i = ((i + delta) % n + n) % n;
            if (!m_selectable || m_selectable(i)) {
                m_box->setCurrentIndex(i);
                return;
            }
        }
    };
    e.commit = [this, store = std::move(store)] {
        if (store)
            store(m_box->currentIndex());
    };
    e.revert = [this] { m_box->setCurrentIndex(m_saved); };
    return e;
}
