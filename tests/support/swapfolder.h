#pragma once
// A folder swapped for a link at the worst moment: right after the code under test has opened it,
// before it lists, opens, writes or removes anything there. Code that takes the folder by its
// name again from then on is led to wherever the link goes.
#include <QDir>
#include <QFile>
#include <atomic>

#include "safe_file.h"
#include "utils.h"

class SwapWhenOpened
{
public:
    // `folder` (a host path) moves aside to `folder` + ".opened" and a link to `to` takes its place.
    SwapWhenOpened(const QString &folder, const QString &to)
    {
        s_folder = QDir::cleanPath(folder);
        s_to = to;
        s_swaps = 0;
        Folder::opened_hook = &swap;
    }
    ~SwapWhenOpened() { Folder::opened_hook = nullptr; }
    static int swaps() { return s_swaps; }

private:
    static void swap(const QString &opened)
    {
        if (opened == s_folder && s_swaps++ == 0 && QDir().rename(s_folder, s_folder + QStringLiteral(".opened")))
            QFile::link(s_to, s_folder);
    }
    static inline QString s_folder, s_to;
    static inline std::atomic<int> s_swaps{0};
};
