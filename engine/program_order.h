#pragma once
// The remembered order: programs (see program.h) in the order the user gave
// their windows, kept also for programs that have no window open, so that a
// program started again finds its place. Each program appears once, compared
// without regard to case, spelt as it was first seen.
#include "engine/program.h"
#include <functional>
#include <string>
#include <vector>

class CProgramOrder {
public:
    CProgramOrder() = default;
    // Later repetitions of a program are dropped.
    explicit CProgramOrder(const std::vector<std::string>& programs);

    const std::vector<std::string>& GetPrograms() const { return m_programs; }
    bool IsEmpty() const { return m_programs.empty(); }
    // The program's place, -1 when it is not remembered.
    int Find(const std::string& program) const;

    // A program seen for the first time goes to the end; true when it was added.
    bool Append(const std::string& program);
    // After the user's own reordering: `listed` is the programs of the list's
    // entries in list order (repetitions allowed). The listed programs take
    // the order of their first entries; a remembered program with no entry
    // stays just after the program that stood before it here (or first, when
    // it was first); then bounded (Bound). True when the order changed.
    bool Follow(const std::vector<std::string>& listed);

    // The most programs remembered, so that the order neither grows with
    // every installer ever run nor reaches the store's size limit.
    static constexpr size_t kMaxPrograms = 256;
    using ExistsTest = std::function<bool(const std::string& path)>;
    // Drops programs until at most kMaxPrograms remain, never one of `listed`
    // (the programs of the list's entries): first those whose executable is
    // gone, then "class:" entries, then the rest; within each, the lowest in
    // the order first. True when any was dropped.
    bool Bound(const std::vector<std::string>& listed, const ExistsTest& exists = ExecutableExists);

    // Where a new window of `program` goes among entries whose programs are
    // `listed`, in list order: just after the last entry of its program;
    // else, when the program is remembered, before the first entry of a
    // remembered program that comes after it here; else at the end.
    size_t PlaceFor(const std::string& program, const std::vector<std::string>& listed) const;

    friend bool operator==(const CProgramOrder& a, const CProgramOrder& b) { return a.m_keys == b.m_keys; }
    friend bool operator!=(const CProgramOrder& a, const CProgramOrder& b) { return !(a == b); }

private:
    std::vector<std::string> m_programs;
    // ProgramKey of each program, in the same order.
    std::vector<std::string> m_keys;
};
