// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include <veltrane/core/ObjectList.h>

namespace {

// The list never dereferences its pointers, so fake addresses are enough here.
std::vector<vl::Object*> fakeObjects(int count) {
    std::vector<vl::Object*> objects;
    for (int i = 1; i <= count; i++) {
        objects.push_back(reinterpret_cast<vl::Object*>(static_cast<uintptr_t>(i * 16)));
    }
    return objects;
}

std::vector<vl::Object*> contents(const vl::ObjectList& list) {
    std::vector<vl::Object*> result;
    for (vl::ObjectListIterator li(&list); !li.isDone(); li.next()) {
        result.push_back(li.currentObject());
    }
    return result;
}

}  // namespace

TEST(ObjectList, GrowsByDoublingAndRemoveTakesTheFirstOccurrenceKeepingTheOrder) {
    const auto objects = fakeObjects(5);
    vl::ObjectList list;
    EXPECT_EQ(list.insert(nullptr), -1);
    EXPECT_EQ(list.remove(objects[0]), -1);
    std::vector<int> capacities;
    for (int i : {0, 1, 2, 1, 4}) {
        ASSERT_EQ(list.insert(objects[static_cast<size_t>(i)]), 0);
        capacities.push_back(list.getCapacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{1, 2, 4, 4, 8}));
    EXPECT_EQ(list.remove(objects[1]), 0);
    EXPECT_EQ(contents(list), (std::vector<vl::Object*>{objects[0], objects[2], objects[1], objects[4]}));
    EXPECT_EQ(list.remove(objects[3]), -1);
    EXPECT_TRUE(list.contains(objects[1]));
    list.remove(objects[1]);
    EXPECT_FALSE(list.contains(objects[1]));
    EXPECT_FALSE(list.contains(objects[3]));
    EXPECT_EQ(list[1], objects[2]);
    for (int bad : {-1, 3}) {
        EXPECT_THROW((void)list[bad], std::out_of_range) << bad;
    }
    list.clear();
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(list.getCapacity(), 8);
}

TEST(ObjectList, SumSkipsNullsAndCopiesAreIndependent) {
    const auto objects = fakeObjects(4);
    vl::ObjectList list;
    list.insert(objects[0]);
    list.insert(objects[1]);
    vl::ObjectList second;
    second.insert(objects[2]);
    second.insert(objects[3]);
    second[0] = nullptr;  // a null that slipped in through the index operator
    vl::ObjectList copy = list + second;
    EXPECT_EQ(contents(copy), (std::vector<vl::Object*>{objects[0], objects[1], objects[3]}));
    list.remove(objects[0]);
    EXPECT_EQ(contents(list), (std::vector<vl::Object*>{objects[1]}));
    EXPECT_EQ(copy.getCount(), 3);
    copy = copy;  // self-assignment keeps everything
    vl::ObjectList copied(copy);
    list = copy;
    copy.remove(objects[1]);
    EXPECT_EQ(contents(list), (std::vector<vl::Object*>{objects[0], objects[1], objects[3]}));
    EXPECT_EQ(contents(copied), contents(list));
}

TEST(ObjectListIterator, ShrinkingListEndsTheWalkEarlyAndGrowingListIsWalkedToItsNewEnd) {
    const auto objects = fakeObjects(5);
    vl::ObjectList list;
    for (int i = 0; i < 4; i++) {
        list.insert(objects[static_cast<size_t>(i)]);
    }
    std::vector<vl::Object*> seen;
    for (vl::ObjectListIterator li(&list); !li.isDone(); li.next()) {
        seen.push_back(li.currentObject());
        if (seen.size() == 2) {
            list.remove(objects[3]);
            list.remove(objects[2]);
        }
    }
    EXPECT_EQ(seen, (std::vector<vl::Object*>{objects[0], objects[1]}));

    seen.clear();
    for (vl::ObjectListIterator li(&list); !li.isDone(); li.next()) {
        seen.push_back(li.currentObject());
        if (seen.size() == 1) {
            list.insert(objects[4]);
        }
    }
    EXPECT_EQ(seen, (std::vector<vl::Object*>{objects[0], objects[1], objects[4]}));

    vl::ObjectListIterator li(&list);
    li.next();
    li.first();
    EXPECT_EQ(li.currentObject(), objects[0]);
}
