#pragma once
#include <QImage>
#include <QString>
#include <functional>

// Every shot of the gallery in the five languages, each handed over as the LCD shows it (320 x
// 240) with its file stem "<shot>_<lang>". Runs on a data root of its own; needs the application.
void gallery_render(const std::function<void(const QString &stem, const QImage &picture)> &take);
