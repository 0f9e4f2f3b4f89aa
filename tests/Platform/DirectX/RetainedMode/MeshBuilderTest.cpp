#include <vector>

#include "tests/Platform/DirectX/RetainedMode/RetainedModeFixture.h"

namespace {

class MeshBuilderTest : public RetainedModeTest {
protected:
    void SetUp() override {
        RetainedModeTest::SetUp();
        ASSERT_EQ(rm->CreateMeshBuilder(&builder), D3DRM_OK);
    }
    void TearDown() override {
        if (builder != nullptr) builder->Release();
        RetainedModeTest::TearDown();
    }

    // A square face of the builder with corners running as given.
    IDirect3DRMFace* Square(const std::vector<D3DVECTOR>& corners, D3DVECTOR normal) {
        IDirect3DRMFace* face = nullptr;
        EXPECT_EQ(builder->CreateFace(&face), D3DRM_OK);
        const int first = builder->GetVertexCount();
        for (const D3DVECTOR& c : corners) builder->AddVertex(c.x, c.y, c.z);
        const int n = builder->AddNormal(normal.x, normal.y, normal.z);
        for (int k = 0; k < static_cast<int>(corners.size()); ++k)
            EXPECT_EQ(face->AddVertexAndNormalIndexed(first + k, n), D3DRM_OK);
        return face;
    }

    IDirect3DRMMeshBuilder2* builder = nullptr;
};

TEST_F(MeshBuilderTest, IndicesCountFromZeroInTheOrderOfAdding) {
    EXPECT_EQ(builder->AddVertex(1, 2, 3), 0);
    EXPECT_EQ(builder->AddNormal(0, 0, -1), 0);
    EXPECT_EQ(builder->AddVertex(4, 5, 6), 1);
    EXPECT_EQ(builder->AddVertex(7, 8, 9), 2);
    EXPECT_EQ(builder->AddNormal(1, 0, 0), 1);
    IDirect3DRMFace* face = nullptr;
    ASSERT_EQ(builder->CreateFace(&face), D3DRM_OK);
    ASSERT_EQ(face->AddVertexAndNormalIndexed(2, 1), D3DRM_OK);
    ASSERT_EQ(face->AddVertexAndNormalIndexed(0, 0), D3DRM_OK);
    // Entries that do not exist yet are refused.
    EXPECT_EQ(face->AddVertexAndNormalIndexed(3, 0), D3DRMERR_BADVALUE);
    EXPECT_EQ(face->AddVertexAndNormalIndexed(0, 2), D3DRMERR_BADVALUE);
    ASSERT_EQ(face->GetVertexCount(), 2);
    D3DVECTOR position, normal;
    ASSERT_EQ(face->GetVertex(0, &position, &normal), D3DRM_OK);
    ExpectNear(position, 7, 8, 9, 0);
    ExpectNear(normal, 1, 0, 0, 0);
    EXPECT_EQ(face->GetVertexIndex(1), 0);
    EXPECT_EQ(face->GetNormalIndex(0), 1);
    EXPECT_EQ(face->GetVertexIndex(2), -1);
    EXPECT_EQ(face->GetVertex(2, &position, &normal), D3DRMERR_BADVALUE);
    face->Release();
}

TEST_F(MeshBuilderTest, FourCornersKeepTheirTextureCoordinates) {
    IDirect3DRMFace* face = Square({{2, 2, -2}, {2, -2, -2}, {-2, -2, -2}, {-2, 2, -2}}, {0, 0, -1});
    const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (DWORD k = 0; k < 4; ++k) ASSERT_EQ(face->SetTextureCoordinates(k, uv[k][0], uv[k][1]), D3DRM_OK);
    EXPECT_EQ(face->SetTextureCoordinates(4, 0.5f, 0.5f), D3DRMERR_BADVALUE);
    for (DWORD k = 0; k < 4; ++k) {
        float u = -1, v = -1;
        ASSERT_EQ(face->GetTextureCoordinates(k, &u, &v), D3DRM_OK);
        EXPECT_EQ(u, uv[k][0]) << "corner " << k;
        EXPECT_EQ(v, uv[k][1]) << "corner " << k;
    }
    face->Release();
}

TEST_F(MeshBuilderTest, MeshIsASnapshotWithColourAndTexture) {
    IDirect3DRMFace* face = Square({{0, 1, 0}, {1, 0, 0}, {0, 0, 0}}, {0, 0, -1});
    IDirect3DRMTexture2* texture = nullptr;
    std::uint32_t texels[4] = {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0x00FFFFFFu};
    D3DRMIMAGE image{2, 2, 1, 1, 32, TRUE, 8, texels, nullptr, 0xFF0000u, 0xFF00u, 0xFFu, 0};
    ASSERT_EQ(rm->CreateTexture(&image, &texture), D3DRM_OK);
    ASSERT_EQ(face->SetTexture(texture), D3DRM_OK);
    ASSERT_EQ(face->SetTextureCoordinates(1, 0.25f, 0.75f), D3DRM_OK);
    ASSERT_EQ(builder->SetColor(0xFF804020u), D3DRM_OK);
    EXPECT_EQ(face->GetColor(), 0xFF804020u);

    IDirect3DRMMesh* mesh = nullptr;
    ASSERT_EQ(builder->CreateMesh(&mesh), D3DRM_OK);
    // Later changes to the builder do not reach the mesh.
    builder->AddVertex(9, 9, 9);
    ASSERT_EQ(face->SetColor(0xFF000000u), D3DRM_OK);
    ASSERT_EQ(face->SetTexture(nullptr), D3DRM_OK);
    face->Release();
    builder->Release();
    builder = nullptr;

    EXPECT_EQ(mesh->GetFaceCount(), 1u);
    EXPECT_EQ(mesh->GetVertexCount(), 3u);
    EXPECT_EQ(mesh->GetNormalCount(), 1u);
    IDirect3DRMFaceArray* faces = nullptr;
    ASSERT_EQ(mesh->GetFaces(&faces), D3DRM_OK);
    IDirect3DRMFace* copy = nullptr;
    ASSERT_EQ(faces->GetElement(0, &copy), D3DRM_OK);
    EXPECT_EQ(copy->GetColor(), 0xFF804020u);
    IDirect3DRMTexture* shown = nullptr;
    ASSERT_EQ(copy->GetTexture(&shown), D3DRM_OK);
    EXPECT_EQ(shown, static_cast<IDirect3DRMTexture*>(texture));
    shown->Release();
    float u, v;
    ASSERT_EQ(copy->GetTextureCoordinates(1, &u, &v), D3DRM_OK);
    EXPECT_EQ(u, 0.25f);
    EXPECT_EQ(v, 0.75f);
    D3DVECTOR position;
    ASSERT_EQ(copy->GetVertex(1, &position, nullptr), D3DRM_OK);
    ExpectNear(position, 1, 0, 0, 0);
    copy->Release();
    faces->Release();
    mesh->Release();
    // Only the caller holds the texture now.
    EXPECT_EQ(texture->Release(), 0u);
}

TEST_F(MeshBuilderTest, BuilderHoldsItsFacesAndOrphansThemWhenGone) {
    IDirect3DRMFace* face = Square({{0, 1, 0}, {1, 0, 0}, {0, 0, 0}}, {0, 0, -1});
    EXPECT_EQ(face->AddRef(), 3u);  // the caller's two and the builder's
    face->Release();
    builder->Release();
    builder = nullptr;
    // The face survives its builder but has no vertices to name any more.
    EXPECT_EQ(face->GetVertexCount(), 3);
    D3DVECTOR position;
    EXPECT_EQ(face->GetVertex(0, &position, nullptr), D3DRMERR_BADOBJECT);
    EXPECT_EQ(face->AddVertexAndNormalIndexed(0, 0), D3DRMERR_BADOBJECT);
    EXPECT_EQ(face->Release(), 0u);
}

}  // namespace
