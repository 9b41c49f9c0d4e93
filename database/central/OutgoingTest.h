#pragma once

// One stored test as a station sends it to the central database: the
// values read back from the station's own tables, so the server gets exactly
// what the station keeps (Items as its text, scores as their doubles).

#include <QString>
#include <QVariantList>

#include <vector>

struct OutgoingTest
{
    QString uuid;
    // Name, Surname, Age, Gender, N, M, V, Items, Field1..Field3; empty when
    // the station's row of Data was deleted after the test was stored.
    QVariantList data;
    // Station, DesignPath, DesignSHA256, StartedUTC, FinishedUTC,
    // ProgramVersion, ScreenWidth, ScreenHeight, DevicePixelRatio, Mode,
    // RefreshRate, Compositor.
    QVariantList session;
    // Nr, Task, LevelIndex, Level, Efficiency, OnsetMs, ResponseMs, Key,
    // TypedAnswer, Judgement; one list per picture shown, in order.
    std::vector<QVariantList> presentations;
};
