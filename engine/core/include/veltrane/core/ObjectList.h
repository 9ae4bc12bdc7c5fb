// SPDX-License-Identifier: MIT
#ifndef VL_OBJECT_LIST_H
#define VL_OBJECT_LIST_H

namespace vl {

class Object;

/// Growable, ordered list of non-owned object pointers, and its iterator.
class ObjectList {
public:
    ObjectList();  ///< capacity 1 (0 if the allocation fails)
    ///@{
    /// Copies the pointers; the objects are not copied.
    ObjectList(const ObjectList& other);
    ObjectList& operator=(const ObjectList& other);
    ///@}
    ~ObjectList();

    int insert(Object* p_o);  ///< appends; -1 for null or when growing fails (list unchanged)
    int remove(Object* p_o);  ///< removes the first occurrence, keeping order; -1 if absent
    void clear();             ///< count 0, capacity kept
    /// The number of pointers held.
    int getCount() const;
    /// Whether the list holds no pointers.
    bool isEmpty() const;
    bool contains(const Object* p_o) const;  ///< whether p_o is in the list
    /// The number of pointers room is kept for.
    int getCapacity() const;

    Object*& operator[](int index);  ///< throws std::out_of_range("Invalid index!")
    /// The pointer at index (0 to getCount() - 1).
    Object* const& operator[](int index) const;
    ObjectList operator+(ObjectList other) const;  ///< this list, then the other's non-null pointers

private:
    [[nodiscard]] bool grow();  ///< doubles the capacity; false if reallocation fails

    int m_count;       //!< pointers held
    int m_max_count;   //!< capacity of the array
    Object** m_p_obj;  //!< owned array, first m_count used
};

/// Walks an object list in order: first(), then next() until isDone().
class ObjectListIterator {
public:
    /// An iterator over p_list, which must outlive it; starts at the first pointer.
    explicit ObjectListIterator(const ObjectList* p_list);
    /// Back to the first pointer.
    void first();
    void next();                    ///< never moves beyond the list's count
    bool isDone() const;            ///< reads the count each time, so a shrinking list ends early
    Object* currentObject() const;  ///< null when done

private:
    int m_index;
    const ObjectList* m_p_list;
};

}  // namespace vl

#endif
