#include <gtest/gtest.h>

#include <cmath>

#include "nbody/invert_matrix.h"
#include "nbody/vec3d.h"

namespace {

void expect_vec(const vec3d& v, double x, double y, double z, double tol = 0) {
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

TEST(Vec3d, DefaultIsZeroAndTwoPointConstructorLeadsFromFirstToSecond) {
    expect_vec(vec3d(), 0, 0, 0);
    const vec3d a(1, 2, 3), b(4, 6, 8);
    expect_vec(vec3d(a, b), 3, 4, 5);
}

TEST(Vec3d, NormaliseLeavesZeroAloneAndScalesOthersToUnitLength) {
    vec3d zero;
    zero.normalise();
    expect_vec(zero, 0, 0, 0);
    EXPECT_FALSE(std::isnan(zero.x));
    vec3d v(3, 0, 4);
    v.normalise();
    expect_vec(v, 0.6, 0, 0.8, 1e-15);
}

TEST(Vec3d, CrossProductIsRightHandedInBothForms) {
    const vec3d x(1, 0, 0), y(0, 1, 0);
    expect_vec(x.cross(y), 0, 0, 1);
    expect_vec(y.cross(x), 0, 0, -1);
    vec3d in_place = x;
    in_place.cross_assign(y);
    expect_vec(in_place, 0, 0, 1);
}

TEST(Vec3d, AngleCoversParallelOppositeAndZeroVector) {
    const double pi = 4 * std::atan(1.0);
    const vec3d v(1e11, -3e10, 2e9);
    EXPECT_DOUBLE_EQ(v.angle(v), 0.0);
    EXPECT_DOUBLE_EQ(v.angle(-v), pi);
    EXPECT_DOUBLE_EQ(v.angle(vec3d()), pi / 2);
    EXPECT_DOUBLE_EQ(vec3d(1, 0, 0).angle(vec3d(0, 5, 0)), pi / 2);
    // The clamp keeps nearly parallel vectors from producing NaN.
    const vec3d w(0.1, 0.2, 0.3);
    EXPECT_FALSE(std::isnan(w.angle(w * 3.0)));
}

TEST(Vec3d, ArithmeticAndDistances) {
    const vec3d a(1, 2, 3), b(-2, 6, 3);
    expect_vec(a + b, -1, 8, 6);
    expect_vec(a - b, 3, -4, 0);
    expect_vec(a * 2.0, 2, 4, 6);
    expect_vec(2.0 * a, 2, 4, 6);
    expect_vec(-a, -1, -2, -3);
    EXPECT_DOUBLE_EQ(dot(a, b), 19);
    EXPECT_DOUBLE_EQ(a.distance(b), 5);
    EXPECT_DOUBLE_EQ(b.distance(a), 5);
    EXPECT_DOUBLE_EQ(a.distance_squared(b), 25);
    vec3d c = a;
    (c += b) *= 2.0;
    expect_vec(c, -2, 16, 12);
    c -= b;
    expect_vec(c.negate(), 0, -10, -9);
}

TEST(InvertMatrix, IdentityAndDiagonal) {
    double identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    ASSERT_TRUE(invert_matrix(identity, 4));
    for (int k = 0; k < 16; ++k)
        EXPECT_DOUBLE_EQ(identity[k], k % 5 == 0 ? 1.0 : 0.0);

    double diag[16] = {2, 0, 0, 0, 0, 4, 0, 0, 0, 0, 5, 0, 0, 0, 0, 10};
    ASSERT_TRUE(invert_matrix(diag, 4));
    const double expected[4] = {0.5, 0.25, 0.2, 0.1};
    for (int k = 0; k < 16; ++k)
        EXPECT_NEAR(diag[k], k % 5 == 0 ? expected[k / 5] : 0.0, 1e-15);
}

TEST(InvertMatrix, NonSymmetricMatrixInvertsInEitherLayout) {
    // A = [[2,1,0],[0,1,3],[1,0,1]], det = 5; its inverse is known exactly.
    const double a_rows[9] = {2, 1, 0, 0, 1, 3, 1, 0, 1};
    const double inv_rows[9] = {1 / 5.0,  -1 / 5.0, 3 / 5.0, 3 / 5.0, 2 / 5.0,
                                -6 / 5.0, -1 / 5.0, 1 / 5.0, 2 / 5.0};
    double by_rows[9], by_columns[9];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            by_rows[r * 3 + c] = a_rows[r * 3 + c];
            by_columns[c * 3 + r] = a_rows[r * 3 + c];
        }
    ASSERT_TRUE(invert_matrix(by_rows, 3));
    ASSERT_TRUE(invert_matrix(by_columns, 3));
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(by_rows[r * 3 + c], inv_rows[r * 3 + c], 1e-15);
            EXPECT_NEAR(by_columns[c * 3 + r], inv_rows[r * 3 + c], 1e-15);
        }
}

TEST(InvertMatrix, SingularMatrixIsReportedAndLeftUnchanged) {
    double singular[4] = {1, 2, 2, 4};
    EXPECT_FALSE(invert_matrix(singular, 2));
    EXPECT_EQ(singular[0], 1);
    EXPECT_EQ(singular[1], 2);
    EXPECT_EQ(singular[2], 2);
    EXPECT_EQ(singular[3], 4);
}

} // namespace
