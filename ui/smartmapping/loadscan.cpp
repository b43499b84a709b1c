// Load scan, the smart-mapping wizard's second flow: the output port (step 1), then the scan files
// of the device and of a USB stick, three to a page, one of which Load sends to the cards (step 2).
#include "smartmapping.h"
#include "wizard_texts.h"

void SmartMapping::scan_texts()
{
    ui.label_step1_5->setText(tr5("步骤1选择网口", "Step 1 Select network port", "Шаг 1. Выбор LAN-порта",
                                  "Bước 1 Chọn cổng mạng", "步驟1選擇網口"));
    ui.Button_next_5->setText(next_text());
    set_point_size(ui.Button_next_5, by_language(9, 9, 7, 7, 9));
    ui.Button_wlan5->setText(port_group_text());
    ui.label_step2_6->setText(tr5("步骤2加载扫描参数", "Step 2 Upload scan parameters", "Шаг 2.Настройка сканирования",
                                  "Bước 2Tải thông số quét", "步驟2加載掃描參數"));
    ui.label_step2_7->setText(tr5("检测到以下屏参文件", "Detected the following screen parameter\n files",
                                  "Были обнаружены следующие файлы \nпараметров экрана",
                                  "Các tập tin tham số màn hình sau đã\n được phát hiện", "檢測到以下屏參文件"));
    set_point_size(ui.label_step2_7, by_language(9, 6, 6, 6, 9));
    ui.Button_front_6->setText(previous_text());
    set_point_size(ui.Button_front_6, by_language(9, 9, 7, 6, 9));
    ui.Button_load->setText(tr5("加载", "Load", "Загрузка", "Tải về", "加載"));
}
