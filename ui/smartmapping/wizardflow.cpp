#include "wizardflow.h"

#include "QRoundProgressBar.h"
#include "smartmapping.h"

bool WizardFlow::busy()
{
    return g_qround_bar != nullptr;
}

void ButtonFlow::show_first_page()
{
    ui.stackedWidget->setCurrentIndex(m_page);
}

void ButtonFlow::enter()
{
    set_look(m_button, Look::Thin, LookState::Focus);
}

void ButtonFlow::ok()
{
    m_button->click();
}

void ButtonFlow::back()
{
    set_look(m_button, Look::Thin, LookState::Normal);
    m_frame.back_to_column();
}
