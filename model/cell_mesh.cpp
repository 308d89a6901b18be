#include "model/cell_mesh.h"

#include <algorithm>
#include <cstdint>

namespace vantrel {

namespace {

constexpr int kMeshNeighbours = 9;
constexpr int kMaxTriangles = 36;
// Quad candidates kept per cell; later candidates are dropped, the faces stay limited to 20.
constexpr int kMaxQuads = 50;

struct Triangle {
    int32_t a, v;
};
struct Quad {
    int32_t u, w, a;
};

bool IsNeighbour(const CCell& cell, int32_t index) {
    const int32_t* end = cell.neighbours + cell.neighbourCount;
    return std::find(cell.neighbours, end, index) != end;
}

// The cell's neighbour list, bounded by the storage whatever neighbourCount says.
int NeighbourCount(const CCell& cell) { return std::clamp(cell.neighbourCount, 0, kMaxNeighbours); }

bool ValidCell(const CCoeur& heart, int32_t index) { return index >= 0 && index < heart.cellCount; }

// Integer mean of points, summed in 64 bits, truncating.
Point3 Mean(std::initializer_list<Point3> points) {
    int64_t x = 0, y = 0, z = 0;
    for (const Point3& p : points) {
        x += p.x;
        y += p.y;
        z += p.z;
    }
    const auto n = static_cast<int64_t>(points.size());
    return {static_cast<int32_t>(x / n), static_cast<int32_t>(y / n), static_cast<int32_t>(z / n)};
}

Point3 PointOf(const CCell& cell) { return {cell.pos3dX, cell.pos3dY, cell.pos3dZ}; }

void BuildMesh(CCoeur& heart, int32_t self) {
    CCell& cell = heart.cells[self];
    CellPicture& picture = heart.cellPictures[self];
    picture.faceCount = 0;
    cell.neighbourCount = NeighbourCount(cell);
    if (cell.neighbourCount < 2) return;
    cell.neighbourCount = std::min(cell.neighbourCount, kMeshNeighbours);

    Triangle triangles[kMaxTriangles];
    int triangleCount = 0;
    for (int i = 0; i < cell.neighbourCount && triangleCount < kMaxTriangles; ++i) {
        const int32_t a = cell.neighbours[i];
        if (!ValidCell(heart, a)) continue;
        const CCell& na = heart.cells[a];
        for (int j = 0; j < NeighbourCount(na) && triangleCount < kMaxTriangles; ++j) {
            const int32_t v = na.neighbours[j];
            if (v == self || !ValidCell(heart, v) || !IsNeighbour(cell, v)) continue;
            const bool mirrored = std::any_of(triangles, triangles + triangleCount,
                                              [&](const Triangle& t) { return t.a == v && t.v == a; });
            if (!mirrored) triangles[triangleCount++] = {a, v};
        }
    }

    Quad quads[kMaxQuads];
    int quadCount = 0;
    auto sharesTriangleEdge = [&](int32_t p, int32_t q) {
        return std::any_of(triangles, triangles + triangleCount, [&](const Triangle& t) {
            return (t.a == p && t.v == q) || (t.a == q && t.v == p);
        });
    };
    for (int i = 0; i < cell.neighbourCount && quadCount < kMaxQuads; ++i) {
        const int32_t u = cell.neighbours[i];
        if (!ValidCell(heart, u)) continue;
        for (int k = 0; k < cell.neighbourCount && quadCount < kMaxQuads; ++k) {
            const int32_t w = cell.neighbours[k];
            if (w == u || !ValidCell(heart, w)) continue;
            const CCell& nu = heart.cells[u];
            for (int j = 0; j < NeighbourCount(nu) && quadCount < kMaxQuads; ++j) {
                const int32_t a = nu.neighbours[j];
                if (a == self || !IsNeighbour(heart.cells[w], a)) continue;
                const bool reversed = std::any_of(quads, quads + quadCount, [&](const Quad& q) {
                    return q.u == w && q.w == u;
                });
                if (reversed || sharesTriangleEdge(u, a) || sharesTriangleEdge(u, w)) continue;
                quads[quadCount++] = {u, w, a};
            }
        }
    }

    const Point3 centre = PointOf(cell);
    int faces = 0;
    for (int t = 0; t < triangleCount && faces < kMaxFaces; ++t, ++faces) {
        const Point3 a = PointOf(heart.cells[triangles[t].a]);
        const Point3 v = PointOf(heart.cells[triangles[t].v]);
        picture.faceCentre[faces] = Mean({centre, a, v});
        picture.faceEdge[faces][0] = Mean({centre, a});
        picture.faceEdge[faces][1] = Mean({centre, v});
    }
    for (int q = 0; q < quadCount && faces < kMaxFaces; ++q, ++faces) {
        const Point3 u = PointOf(heart.cells[quads[q].u]);
        const Point3 w = PointOf(heart.cells[quads[q].w]);
        const Point3 a = PointOf(heart.cells[quads[q].a]);
        picture.faceCentre[faces] = Mean({centre, u, w, a});
        picture.faceEdge[faces][0] = Mean({centre, u});
        picture.faceEdge[faces][1] = Mean({centre, w});
    }
    picture.faceCount = faces;
}

}  // namespace

void BuildCellMeshes(CCoeur& heart) {
    for (int32_t i = 0; i < heart.cellCount; ++i) BuildMesh(heart, i);
}

}  // namespace vantrel
