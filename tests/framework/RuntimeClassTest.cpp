#include <afxwin.h>
#include <gtest/gtest.h>

namespace {

class CShape : public CObject {
    DECLARE_DYNAMIC(CShape)
};
IMPLEMENT_DYNAMIC(CShape, CObject)

class CPolygon : public CShape {
    DECLARE_DYNCREATE(CPolygon)
public:
    int m_nCorners = 3;
};
IMPLEMENT_DYNCREATE(CPolygon, CShape)

class CSquare : public CPolygon {
    DECLARE_DYNCREATE(CSquare)
public:
    CSquare() { m_nCorners = 4; }
};
IMPLEMENT_DYNCREATE(CSquare, CPolygon)

// Declares no class of its own: reports its base's.
class CTiltedSquare : public CSquare {};

class CCircle : public CShape {
    DECLARE_DYNAMIC(CCircle)
};
IMPLEMENT_DYNAMIC(CCircle, CShape)

} // namespace

TEST(RuntimeClass, IsKindOfFollowsEveryLevel) {
    CSquare square;
    EXPECT_TRUE(square.IsKindOf(RUNTIME_CLASS(CSquare)));
    EXPECT_TRUE(square.IsKindOf(RUNTIME_CLASS(CPolygon)));
    EXPECT_TRUE(square.IsKindOf(RUNTIME_CLASS(CShape)));
    EXPECT_TRUE(square.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(square.IsKindOf(RUNTIME_CLASS(CCircle)));
    EXPECT_FALSE(square.IsKindOf(RUNTIME_CLASS(CCmdTarget)));
    EXPECT_FALSE(square.IsKindOf(nullptr));

    CPolygon polygon;
    EXPECT_FALSE(polygon.IsKindOf(RUNTIME_CLASS(CSquare)));

    CTiltedSquare tilted;
    EXPECT_EQ(RUNTIME_CLASS(CSquare), tilted.GetRuntimeClass());
    EXPECT_STREQ("CSquare", tilted.GetRuntimeClass()->m_lpszClassName);
}

TEST(RuntimeClass, CreatesOnlyDynamicallyCreatableClasses) {
    CObject* p = RUNTIME_CLASS(CSquare)->CreateObject();
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(RUNTIME_CLASS(CSquare), p->GetRuntimeClass());
    EXPECT_EQ(4, static_cast<CSquare*>(p)->m_nCorners);
    delete p;
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CShape)->CreateObject());
    EXPECT_EQ(static_cast<int>(sizeof(CPolygon)), RUNTIME_CLASS(CPolygon)->m_nObjectSize);
}

TEST(RuntimeClass, DynamicDowncastChecksTheClass) {
    CSquare square;
    CCircle circle;
    CObject* a = &square;
    CObject* b = &circle;
    EXPECT_EQ(&square, DYNAMIC_DOWNCAST(CPolygon, a));
    EXPECT_EQ(nullptr, DYNAMIC_DOWNCAST(CPolygon, b));
    EXPECT_EQ(nullptr, DYNAMIC_DOWNCAST(CPolygon, static_cast<CObject*>(nullptr)));
}

TEST(RuntimeClass, FrameworkClassesKnowTheirBases) {
    EXPECT_TRUE(RUNTIME_CLASS(CWinApp)->IsDerivedFrom(RUNTIME_CLASS(CWinThread)));
    EXPECT_TRUE(RUNTIME_CLASS(CWinApp)->IsDerivedFrom(RUNTIME_CLASS(CCmdTarget)));
    EXPECT_FALSE(RUNTIME_CLASS(CCmdTarget)->IsDerivedFrom(RUNTIME_CLASS(CWinApp)));
}
