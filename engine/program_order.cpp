#include "engine/program_order.h"
#include "engine/program.h"
#include <algorithm>

namespace {

int IndexOfKey(const std::vector<std::string>& keys, const std::string& key)
{
    const auto it = std::find(keys.begin(), keys.end(), key);
    return it == keys.end() ? -1 : static_cast<int>(it - keys.begin());
}

}  // namespace

CProgramOrder::CProgramOrder(const std::vector<std::string>& programs)
{
    for (const std::string& program : programs)
        Append(program);
}

int CProgramOrder::Find(const std::string& program) const
{
    return IndexOfKey(m_keys, ProgramKey(program));
}

bool CProgramOrder::Append(const std::string& program)
{
    std::string key = ProgramKey(program);
    if (IndexOfKey(m_keys, key) >= 0)
        return false;
    m_programs.push_back(program);
    m_keys.push_back(std::move(key));
    return true;
}

bool CProgramOrder::Follow(const std::vector<std::string>& listed)
{
    CProgramOrder next;
    for (const std::string& program : listed) {
        // A remembered program keeps the spelling it was remembered with.
        const int known = Find(program);
        next.Append(known >= 0 ? m_programs[static_cast<size_t>(known)] : program);
    }
    // In this order's order, so that a run of programs without entries stays
    // together behind the one listed program that stood before it.
    for (size_t i = 0; i < m_programs.size(); ++i) {
        if (IndexOfKey(next.m_keys, m_keys[i]) >= 0)
            continue;
        const size_t at = i == 0 ? 0 : static_cast<size_t>(IndexOfKey(next.m_keys, m_keys[i - 1]) + 1);
        next.m_programs.insert(next.m_programs.begin() + static_cast<std::ptrdiff_t>(at), m_programs[i]);
        next.m_keys.insert(next.m_keys.begin() + static_cast<std::ptrdiff_t>(at), m_keys[i]);
    }
    const bool changed = next != *this;
    *this = std::move(next);
    return Bound(listed) || changed;
}

bool CProgramOrder::Bound(const std::vector<std::string>& listed, const ExistsTest& exists)
{
    if (m_programs.size() <= kMaxPrograms)
        return false;
    std::vector<std::string> listedKeys;
    listedKeys.reserve(listed.size());
    for (const std::string& program : listed)
        listedKeys.push_back(ProgramKey(program));
    std::sort(listedKeys.begin(), listedKeys.end());

    size_t excess = m_programs.size() - kMaxPrograms;
    std::vector<bool> dropped(m_programs.size(), false);
    // From the lowest up, so that a program the user placed high is the last
    // of its kind to go; and the existence of a file is asked only until
    // there is room.
    const auto dropFromTheEnd = [&](const std::function<bool(size_t)>& which) {
        for (size_t i = m_programs.size(); i-- > 0 && excess > 0;) {
            if (dropped[i] || std::binary_search(listedKeys.begin(), listedKeys.end(), m_keys[i]) || !which(i))
                continue;
            dropped[i] = true;
            --excess;
        }
    };
    dropFromTheEnd([&](size_t i) { return !IsClassProgram(m_programs[i]) && !exists(m_programs[i]); });
    dropFromTheEnd([&](size_t i) { return IsClassProgram(m_programs[i]); });
    dropFromTheEnd([](size_t) { return true; });

    std::vector<std::string> programs, keys;
    for (size_t i = 0; i < m_programs.size(); ++i) {
        if (!dropped[i]) {
            programs.push_back(std::move(m_programs[i]));
            keys.push_back(std::move(m_keys[i]));
        }
    }
    const bool any = programs.size() < m_programs.size();
    m_programs = std::move(programs);
    m_keys = std::move(keys);
    return any;
}

size_t CProgramOrder::PlaceFor(const std::string& program, const std::vector<std::string>& listed) const
{
    const std::string key = ProgramKey(program);
    std::vector<std::string> keys;
    keys.reserve(listed.size());
    for (const std::string& other : listed)
        keys.push_back(ProgramKey(other));

    const auto last = std::find(keys.rbegin(), keys.rend(), key);
    if (last != keys.rend())
        return static_cast<size_t>(keys.rend() - last);
    const int place = IndexOfKey(m_keys, key);
    if (place < 0)
        return listed.size();
    // Entries of programs this order does not know say nothing about the
    // place: only those of programs remembered after this one count.
    for (size_t i = 0; i < keys.size(); ++i) {
        if (IndexOfKey(m_keys, keys[i]) > place)
            return i;
    }
    return listed.size();
}
