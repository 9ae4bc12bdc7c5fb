// SPDX-License-Identifier: MIT
#ifndef VL_GRID_H
#define VL_GRID_H

#include <veltrane/core/Box.h>
#include <veltrane/core/ObjectList.h>
#include <veltrane/core/Vector.h>

namespace vl {

class Object;

/// Spatial index of the active solid objects: the world cut into cells, each listing the objects it touches.
class Grid {
public:
    Grid();
    ~Grid();
    Grid(const Grid&) = delete;
    Grid& operator=(const Grid&) = delete;

    /// Builds empty cells of cell_width by cell_height characters covering boundary (a size below 1 is
    /// logged and replaced by the default, 20 wide or 8 high); -1 if the cells exist already or cannot be
    /// built.
    [[nodiscard]] int startUp(const Box& boundary, int cell_width, int cell_height);
    void shutDown();  ///< frees the cells (their objects are forgotten, not deleted)

    [[nodiscard]] int insertObject(Object* p_o);  ///< lists it in every cell its box touches at its position
    [[nodiscard]] int
    removeObject(Object* p_o);  ///< unlists it; 0 at once for an inactive or spectral object
    /// Moves the object's cell entries from its current position to new_position; call before
    /// the position changes. Only the cells entered and left are edited.
    [[nodiscard]] int updatePosition(Object* p_o, Vector new_position);
    /// The grid's objects, other than p_o, whose world box meets p_o's box placed at where, each once,
    /// in cell order: the outside list first, then the cells by row, then by column.
    ObjectList getCollisions(const Object* p_o, Vector where) const;

    /// Whether the grid has been sized.
    bool isStarted() const;
    ///@{
    /// The number of columns and rows of grid cells.
    int getNumCols() const;
    int getNumRows() const;
    ///@}
    int getCellWidth() const;   ///< characters
    int getCellHeight() const;  ///< characters
    ObjectList getCell(int col,
                       int row) const;  ///< copy; (-1, -1) is the outside list; empty if no such cell

    /// Compares every cell with the cells recomputed from the given active solid objects.
    /// Logs each difference; returns the number found (0: consistent).
    [[nodiscard]] int checkConsistency(const ObjectList& solid_objects) const;

private:
    /// The block of cells a box covers, clamped to the grid, and whether it reaches outside.
    struct CellRange {
        int col0;
        int row0;
        int col1;
        int row1;
        bool outside;
        bool contains(int col, int row) const;
    };
    CellRange cellsAt(const Object* p_o, Vector where) const;
    ObjectList* cell(int col, int row) const;  ///< null when out of bounds

    ObjectList** m_p_cells;  //!< [row][column]; null when not started
    ObjectList m_outside;    //!< objects whose box reaches outside the grid
    int m_num_cols;
    int m_num_rows;
    int m_cell_width;   //!< characters
    int m_cell_height;  //!< characters
};

}  // namespace vl

#endif
