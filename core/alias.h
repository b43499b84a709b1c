#pragma once
#include <QString>

// One display name of "/data/configs/alias.json".
struct ALIAS_PARA
{
    int id = 0;
    QString valid;
    QString name;
};

// Looks up namelist.<category>[id]; 1 when the entry exists, is not "off" and has a name (out then
// holds it), 0 otherwise, also for a missing or corrupt file. Categories: "source", "crop", "win",
// "usermode".
int get_json_alias_para(ALIAS_PARA *out, const QString &category, int id);
