// The shared tables a group file can change, kept while a data file is read.
//
// Any data file may carry any group, so a file of one screen can fill the tables of every other one.
// A read that fails puts all of them back: a file applied in part is corrupted data that the user has
// just been told is damaged, whichever screen read it.
#pragma once

#include <memory>
#include <vector>

#include "data/DefFil.h"

class FilBackup {
public:
    // Copies every table that a loader of the group table writes.
    FilBackup();
    ~FilBackup();
    FilBackup(const FilBackup&) = delete;
    FilBackup& operator=(const FilBackup&) = delete;
    // Puts every table back as it was; console switches that changed are switched back through their
    // hooks, so the console and what the switches drive follow.
    void Restore() const;

    struct Kept {
        virtual ~Kept() = default;
        virtual void Put() const = 0;
    };

private:
    template <class T>
    void Keep(T& table);

    std::vector<std::unique_ptr<Kept>> kept_;
    DebugStateRec debug_;
};
