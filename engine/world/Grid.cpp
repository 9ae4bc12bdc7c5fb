// SPDX-License-Identifier: MIT
#include <veltrane/world/Grid.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <unordered_set>

#include <veltrane/core/LogManager.h>
#include <veltrane/world/Geometry.h>
#include <veltrane/world/Object.h>

namespace vl {

namespace {

const int DEFAULT_CELL_WIDTH = 20;
const int DEFAULT_CELL_HEIGHT = 8;
// Far beyond any playable world; keeps the cell count allocatable and the arithmetic in range.
const long long MAX_CELLS = 1LL << 22;

// Index of the cell holding coordinate v, kept in int range; NaN counts as before the first cell.
int cellIndex(float v, int cell_size) {
    const float q = std::floor(v / static_cast<float>(cell_size));
    if (!(q >= -1.0f)) {
        return -1;
    }
    if (q > 1.0e9f) {
        return 1000000000;
    }
    return static_cast<int>(q);
}

// Number of cells covering an extent; a negative or NaN extent covers none.
long long cellCount(float extent, int cell_size) {
    const float n = std::ceil(extent / static_cast<float>(cell_size));
    if (!(n > 0.0f)) {
        return 0;
    }
    if (n > static_cast<float>(MAX_CELLS)) {
        return MAX_CELLS + 1;
    }
    return static_cast<long long>(n);
}

int positiveOr(int value, int fallback, const char* key) {
    if (value > 0) {
        return value;
    }
    LogManager::getInstance().writeLog("Grid::startUp(): Warning! %s %d is not positive; using %d.", key,
                                       value, fallback);
    return fallback;
}

}  // namespace

bool Grid::CellRange::contains(int col, int row) const {
    if (col == -1 && row == -1) {
        return outside;
    }
    return col0 <= col && col <= col1 && row0 <= row && row <= row1;
}

Grid::Grid()
    : m_p_cells(nullptr), m_num_cols(0), m_num_rows(0), m_cell_width(DEFAULT_CELL_WIDTH),
      m_cell_height(DEFAULT_CELL_HEIGHT) {}

Grid::~Grid() {
    shutDown();
}

int Grid::startUp(const Box& boundary, int cell_width, int cell_height) {
    LogManager& log = LogManager::getInstance();
    if (m_p_cells != nullptr) {
        log.writeLog("Grid::startUp(): Warning! Grid allocated. Not proceeding.");
        return -1;
    }
    m_cell_width = positiveOr(cell_width, DEFAULT_CELL_WIDTH, "grid_width");
    m_cell_height = positiveOr(cell_height, DEFAULT_CELL_HEIGHT, "grid_height");

    const long long cols = cellCount(boundary.getHorizontal(), m_cell_width);
    const long long rows = cellCount(boundary.getVertical(), m_cell_height);
    if (cols > MAX_CELLS || rows > MAX_CELLS || cols * rows > MAX_CELLS) {
        log.writeLog("Grid::startUp(): Error! Boundary %s needs too many cells.",
                     boundary.toString().c_str());
        m_num_cols = 0;
        m_num_rows = 0;
        return -1;
    }
    m_num_cols = static_cast<int>(cols);
    m_num_rows = static_cast<int>(rows);
    log.writeLog(5, "Grid::startUp(): m_num_cols %d, m_num_rows %d", m_num_cols, m_num_rows);

    m_p_cells = new (std::nothrow) ObjectList*[static_cast<size_t>(m_num_rows)];
    if (m_p_cells == nullptr) {
        log.writeLog("Grid::startUp(): Error! Unable to allocate %d grid rows.", m_num_rows);
        return -1;
    }
    for (int row = 0; row < m_num_rows; row++) {
        m_p_cells[row] = new (std::nothrow) ObjectList[static_cast<size_t>(m_num_cols)];
        if (m_p_cells[row] == nullptr) {
            log.writeLog("Grid::startUp(): Error! Unable to allocate columns.");
            for (int done = 0; done < row; done++) {
                delete[] m_p_cells[done];
            }
            delete[] m_p_cells;
            m_p_cells = nullptr;
            return -1;
        }
    }
    m_outside.clear();
    return 0;
}

void Grid::shutDown() {
    if (m_p_cells != nullptr) {
        for (int row = 0; row < m_num_rows; row++) {
            delete[] m_p_cells[row];
        }
        delete[] m_p_cells;
        m_p_cells = nullptr;
    }
    m_outside.clear();
}

Grid::CellRange Grid::cellsAt(const Object* p_o, Vector where) const {
    const Box box = getWorldBox(p_o, where);
    const Vector corner = box.getCorner();
    CellRange range{};
    range.col0 = cellIndex(corner.getX(), m_cell_width);
    range.row0 = cellIndex(corner.getY(), m_cell_height);
    range.col1 = cellIndex(corner.getX() + box.getHorizontal(), m_cell_width);
    range.row1 = cellIndex(corner.getY() + box.getVertical(), m_cell_height);
    range.outside = false;
    if (range.row0 < 0) {
        range.row0 = 0;
        range.outside = true;
    }
    if (range.col0 < 0) {
        range.col0 = 0;
        range.outside = true;
    }
    if (range.row1 >= m_num_rows) {
        range.row1 = m_num_rows - 1;
        range.outside = true;
    }
    if (range.col1 >= m_num_cols) {
        range.col1 = m_num_cols - 1;
        range.outside = true;
    }
    return range;
}

ObjectList* Grid::cell(int col, int row) const {
    if (m_p_cells == nullptr) {
        return nullptr;
    }
    if (col == -1 && row == -1) {
        return const_cast<ObjectList*>(&m_outside);
    }
    if (col < 0 || row < 0 || col >= m_num_cols || row >= m_num_rows) {
        return nullptr;
    }
    return &m_p_cells[row][col];
}

int Grid::insertObject(Object* p_o) {
    LogManager& log = LogManager::getInstance();
    if (m_p_cells == nullptr) {
        log.writeLog("Grid::insertObject(): Error! grid is NULL");
        return -1;
    }
    if (p_o == nullptr) {
        log.writeLog("Grid::insertObject(): Error! Object is NULL");
        return -1;
    }
    const CellRange range = cellsAt(p_o, p_o->getPosition());
    int result = 0;
    if (range.outside && m_outside.insert(p_o) != 0) {
        result = -1;
    }
    for (int row = range.row0; row <= range.row1; row++) {
        for (int col = range.col0; col <= range.col1; col++) {
            if (m_p_cells[row][col].insert(p_o) != 0) {
                result = -1;
            }
        }
    }
    return result;
}

int Grid::removeObject(Object* p_o) {
    LogManager& log = LogManager::getInstance();
    if (m_p_cells == nullptr) {
        log.writeLog("Grid::removeObject(): Error! grid is NULL");
        return -1;
    }
    if (p_o == nullptr) {
        log.writeLog("Grid::removeObject(): Error! Object is NULL");
        return -1;
    }
    if (!p_o->isSolid() || !p_o->isActive()) {
        return 0;
    }
    const CellRange range = cellsAt(p_o, p_o->getPosition());
    if (range.outside) {
        m_outside.remove(p_o);
    }
    for (int row = range.row0; row <= range.row1; row++) {
        for (int col = range.col0; col <= range.col1; col++) {
            m_p_cells[row][col].remove(p_o);
        }
    }
    return 0;
}

int Grid::updatePosition(Object* p_o, Vector new_position) {
    LogManager& log = LogManager::getInstance();
    if (m_p_cells == nullptr) {
        log.writeLog("Grid::updatePosition(): Error! grid is NULL");
        return -1;
    }
    if (p_o == nullptr) {
        log.writeLog("Grid::updatePosition(): Error! Object is NULL");
        return -1;
    }
    const CellRange old_cells = cellsAt(p_o, p_o->getPosition());
    const CellRange new_cells = cellsAt(p_o, new_position);
    if (old_cells.col0 == new_cells.col0 && old_cells.row0 == new_cells.row0 &&
        old_cells.col1 == new_cells.col1 && old_cells.row1 == new_cells.row1 &&
        old_cells.outside == new_cells.outside) {
        return 0;
    }

    // The outside cell (-1, -1) comes first in cell order.
    if (old_cells.outside && !new_cells.outside) {
        m_outside.remove(p_o);
    }
    for (int row = old_cells.row0; row <= old_cells.row1; row++) {
        for (int col = old_cells.col0; col <= old_cells.col1; col++) {
            if (!new_cells.contains(col, row)) {
                m_p_cells[row][col].remove(p_o);
            }
        }
    }
    if (new_cells.outside && !old_cells.outside) {
        m_outside.insert(p_o);
    }
    for (int row = new_cells.row0; row <= new_cells.row1; row++) {
        for (int col = new_cells.col0; col <= new_cells.col1; col++) {
            if (!old_cells.contains(col, row)) {
                m_p_cells[row][col].insert(p_o);
            }
        }
    }
    return 0;
}

ObjectList Grid::getCollisions(const Object* p_o, Vector where) const {
    LogManager& log = LogManager::getInstance();
    ObjectList result;
    if (m_p_cells == nullptr) {
        log.writeLog("Grid::getCollisions(): Error! grid is NULL");
        return result;
    }
    if (p_o == nullptr) {
        log.writeLog("Grid::getCollisions(): Error! Object is NULL");
        return result;
    }
    const CellRange range = cellsAt(p_o, where);
    const Box box = getWorldBox(p_o, where);
    // An object listed in several cells is met again only when the query spans several cells.
    const int rows = std::max(0, range.row1 - range.row0 + 1);
    const int cols = std::max(0, range.col1 - range.col0 + 1);
    const bool several = (range.outside ? 1 : 0) + rows * cols > 1;
    auto collect = [&](const ObjectList& list) {
        for (int i = 0; i < list.getCount(); i++) {
            Object* p_other = list[i];
            if (p_other == p_o || !boxIntersectsBox(getWorldBox(p_other), box)) {
                continue;
            }
            if (several && result.contains(p_other)) {
                continue;
            }
            result.insert(p_other);
        }
    };
    if (range.outside) {
        collect(m_outside);
    }
    for (int row = range.row0; row <= range.row1; row++) {
        for (int col = range.col0; col <= range.col1; col++) {
            collect(m_p_cells[row][col]);
        }
    }
    return result;
}

bool Grid::isStarted() const {
    return m_p_cells != nullptr;
}
int Grid::getNumCols() const {
    return m_num_cols;
}
int Grid::getNumRows() const {
    return m_num_rows;
}
int Grid::getCellWidth() const {
    return m_cell_width;
}
int Grid::getCellHeight() const {
    return m_cell_height;
}

ObjectList Grid::getCell(int col, int row) const {
    const ObjectList* p_cell = cell(col, row);
    return p_cell == nullptr ? ObjectList() : *p_cell;
}

int Grid::checkConsistency(const ObjectList& solid_objects) const {
    LogManager& log = LogManager::getInstance();
    if (m_p_cells == nullptr) {
        return 0;
    }
    int problems = 0;
    std::unordered_set<const Object*> solid;
    for (int i = 0; i < solid_objects.getCount(); i++) {
        solid.insert(solid_objects[i]);
    }
    // Every cell entry must be an active solid object whose box covers that cell, listed once.
    auto checkCell = [&](const ObjectList& list, int col, int row) {
        std::unordered_set<const Object*> seen;
        for (int i = 0; i < list.getCount(); i++) {
            const Object* p_o = list[i];
            if (solid.count(p_o) == 0) {
                log.writeLog("Grid::checkConsistency(): cell (%d, %d) lists %p, not an active solid object.",
                             col, row, static_cast<const void*>(p_o));
                problems++;
            } else if (!cellsAt(p_o, p_o->getPosition()).contains(col, row)) {
                log.writeLog(
                    "Grid::checkConsistency(): cell (%d, %d) lists object %d, whose box is elsewhere.", col,
                    row, p_o->getId());
                problems++;
            } else if (!seen.insert(p_o).second) {
                log.writeLog("Grid::checkConsistency(): cell (%d, %d) lists object %d twice.", col, row,
                             p_o->getId());
                problems++;
            }
        }
    };
    checkCell(m_outside, -1, -1);
    for (int row = 0; row < m_num_rows; row++) {
        for (int col = 0; col < m_num_cols; col++) {
            checkCell(m_p_cells[row][col], col, row);
        }
    }
    // And every solid object must be in every cell its box covers.
    for (int i = 0; i < solid_objects.getCount(); i++) {
        const Object* p_o = solid_objects[i];
        const CellRange range = cellsAt(p_o, p_o->getPosition());
        if (range.outside && !m_outside.contains(p_o)) {
            log.writeLog("Grid::checkConsistency(): object %d missing from the outside list.", p_o->getId());
            problems++;
        }
        for (int row = range.row0; row <= range.row1; row++) {
            for (int col = range.col0; col <= range.col1; col++) {
                if (!m_p_cells[row][col].contains(p_o)) {
                    log.writeLog("Grid::checkConsistency(): object %d missing from cell (%d, %d).",
                                 p_o->getId(), col, row);
                    problems++;
                }
            }
        }
    }
    return problems;
}

}  // namespace vl
