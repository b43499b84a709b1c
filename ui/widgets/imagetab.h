#pragma once
#include <QLabel>

// One image's tab on the source choice screen: the image number on the image's colour, the name
// of what it shows in the corner and its state dot. Built once per screen and moved or hidden
// when the windows change.
class ImageTab : public QLabel
{
    Q_OBJECT
public:
    static constexpr int kWidth = 45;
    static constexpr int kHeight = 40;

    ImageTab(int image, QWidget *parent);

    int image() const { return m_image; }
    // The source name with its crop suffix, shown as typed.
    void set_source_text(const QString &text);
    QString source_text() const;

private:
    int m_image;
    QLabel *m_source;
};
