#include <afxwin.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

class CShape : public CObject {
    DECLARE_DYNAMIC(CShape)
};
IMPLEMENT_DYNAMIC(CShape, CObject)

class CSquare : public CShape {
    DECLARE_DYNCREATE(CSquare)
public:
    int m_nCorners = 4;
};
IMPLEMENT_DYNCREATE(CSquare, CShape)

// Declares no class of its own: reports its base's.
class CTiltedSquare : public CSquare {};

class CCircle : public CShape {
    DECLARE_DYNAMIC(CCircle)
};
IMPLEMENT_DYNAMIC(CCircle, CShape)

} // namespace

TEST(RuntimeClass, KindsFollowEveryLevelAndOnlyThem) {
    CTiltedSquare tilted;
    CCircle circle;
    CObject* pSquare = &tilted;
    CObject* pCircle = &circle;
    EXPECT_EQ(RUNTIME_CLASS(CSquare), pSquare->GetRuntimeClass());
    for (CRuntimeClass* pClass :
         {RUNTIME_CLASS(CSquare), RUNTIME_CLASS(CShape), RUNTIME_CLASS(CObject)})
        EXPECT_TRUE(pSquare->IsKindOf(pClass)) << pClass->m_lpszClassName;
    EXPECT_FALSE(pSquare->IsKindOf(RUNTIME_CLASS(CCircle)));
    EXPECT_FALSE(pSquare->IsKindOf(RUNTIME_CLASS(CCmdTarget)));
    EXPECT_FALSE(pSquare->IsKindOf(nullptr));
    EXPECT_FALSE(pCircle->IsKindOf(RUNTIME_CLASS(CSquare)));

    EXPECT_EQ(&tilted, DYNAMIC_DOWNCAST(CSquare, pSquare));
    EXPECT_EQ(nullptr, DYNAMIC_DOWNCAST(CSquare, pCircle));
    EXPECT_EQ(nullptr, DYNAMIC_DOWNCAST(CSquare, static_cast<CObject*>(nullptr)));

    // Only classes declared creatable are made.
    std::unique_ptr<CObject> made(RUNTIME_CLASS(CSquare)->CreateObject());
    ASSERT_NE(nullptr, made);
    EXPECT_EQ(RUNTIME_CLASS(CSquare), made->GetRuntimeClass());
    EXPECT_EQ(4, static_cast<CSquare*>(made.get())->m_nCorners);
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CShape)->CreateObject());
}
