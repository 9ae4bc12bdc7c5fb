// SPDX-License-Identifier: MIT
#include <veltrane/core/ObjectList.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace vl {

ObjectList::ObjectList() : m_count(0), m_max_count(0), m_p_obj(nullptr) {
    m_p_obj = static_cast<Object**>(std::malloc(sizeof(Object*)));
    if (m_p_obj != nullptr) {
        m_max_count = 1;
    }
}

ObjectList::ObjectList(const ObjectList& other) : m_count(0), m_max_count(0), m_p_obj(nullptr) {
    *this = other;
}

ObjectList& ObjectList::operator=(const ObjectList& other) {
    if (this == &other) {
        return *this;
    }
    std::free(m_p_obj);
    m_count = 0;
    m_max_count = 0;
    m_p_obj = nullptr;
    if (other.m_max_count <= 0) {
        return *this;
    }
    m_p_obj = static_cast<Object**>(std::malloc(sizeof(Object*) * static_cast<size_t>(other.m_max_count)));
    if (m_p_obj == nullptr) {
        return *this;
    }
    if (other.m_count > 0) {
        std::memcpy(m_p_obj, other.m_p_obj, sizeof(Object*) * static_cast<size_t>(other.m_count));
    }
    m_count = other.m_count;
    m_max_count = other.m_max_count;
    return *this;
}

ObjectList::~ObjectList() {
    std::free(m_p_obj);
}

bool ObjectList::grow() {
    int new_max = m_max_count > 0 ? m_max_count * 2 : 1;
    auto* p_new =
        static_cast<Object**>(std::realloc(m_p_obj, sizeof(Object*) * static_cast<size_t>(new_max)));
    if (p_new == nullptr) {
        return false;
    }
    m_p_obj = p_new;
    m_max_count = new_max;
    return true;
}

int ObjectList::insert(Object* p_o) {
    if (p_o == nullptr) {
        return -1;
    }
    if (m_count == m_max_count && !grow()) {
        return -1;
    }
    m_p_obj[m_count] = p_o;
    m_count++;
    return 0;
}

int ObjectList::remove(Object* p_o) {
    for (int i = 0; i < m_count; i++) {
        if (m_p_obj[i] == p_o) {
            std::memmove(&m_p_obj[i], &m_p_obj[i + 1],
                         sizeof(Object*) * static_cast<size_t>(m_count - i - 1));
            m_count--;
            return 0;
        }
    }
    return -1;
}

void ObjectList::clear() {
    m_count = 0;
}

int ObjectList::getCount() const {
    return m_count;
}

bool ObjectList::isEmpty() const {
    return m_count == 0;
}

bool ObjectList::contains(const Object* p_o) const {
    for (int i = 0; i < m_count; i++) {
        if (m_p_obj[i] == p_o) {
            return true;
        }
    }
    return false;
}

int ObjectList::getCapacity() const {
    return m_max_count;
}

Object*& ObjectList::operator[](int index) {
    if (index < 0 || index >= m_count) {
        throw std::out_of_range("Invalid index!");
    }
    return m_p_obj[index];
}

Object* const& ObjectList::operator[](int index) const {
    if (index < 0 || index >= m_count) {
        throw std::out_of_range("Invalid index!");
    }
    return m_p_obj[index];
}

ObjectList ObjectList::operator+(ObjectList other) const {
    ObjectList sum(*this);
    for (int i = 0; i < other.m_count; i++) {
        if (other.m_p_obj[i] != nullptr) {
            sum.insert(other.m_p_obj[i]);
        }
    }
    return sum;
}

ObjectListIterator::ObjectListIterator(const ObjectList* p_list) : m_index(0), m_p_list(p_list) {}

void ObjectListIterator::first() {
    m_index = 0;
}

void ObjectListIterator::next() {
    if (m_index < m_p_list->getCount()) {
        m_index++;
    }
}

bool ObjectListIterator::isDone() const {
    return m_index >= m_p_list->getCount();
}

Object* ObjectListIterator::currentObject() const {
    if (isDone()) {
        return nullptr;
    }
    return (*m_p_list)[m_index];
}

}  // namespace vl
