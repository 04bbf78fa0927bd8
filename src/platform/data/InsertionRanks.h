#pragma once

#include <cstddef>
#include <vector>

// The insertion-order rank of each record slot. Records appended one after another (every bulk
// load, every Append) have ranks 1, 2, 3 ... in slot order: the rank is then the slot's number
// plus one and nothing is stored, which saves eight bytes a record on large tables. The first
// rank that breaks the pattern (a record inserted before another, ranks renumbered) writes the
// ranks out, and they are kept until the table is emptied.
class TInsertionRanks {
public:
    size_t Size() const { return FSize; }
    double operator[](size_t slot) const { return FInSlotOrder ? double(slot + 1) : FStored[slot]; }
    // True while every rank is its slot's number plus one: slot order is insertion order.
    bool InSlotOrder() const { return FInSlotOrder; }

    // Adds a slot of rank `rank` after the last one.
    void Append(double rank)
    {
        if (FInSlotOrder && rank != double(FSize + 1))
            WriteOut();
        if (!FInSlotOrder)
            FStored.push_back(rank);
        ++FSize;
    }
    void Set(size_t slot, double rank)
    {
        if (FInSlotOrder) {
            if (rank == double(slot + 1))
                return;
            WriteOut();
        }
        FStored[slot] = rank;
    }
    // Keeps the first `size` slots (no more than there are).
    void Truncate(size_t size)
    {
        FSize = size;
        if (!FInSlotOrder)
            FStored.resize(size);
    }
    void Clear()
    {
        FSize = 0;
        FStored.clear();
        FInSlotOrder = true;
    }

private:
    void WriteOut()
    {
        FStored.resize(FSize);
        for (size_t s = 0; s < FSize; ++s)
            FStored[s] = double(s + 1);
        FInSlotOrder = false;
    }

    size_t FSize = 0;
    bool FInSlotOrder = true;
    std::vector<double> FStored; // written out once a rank breaks the pattern
};
