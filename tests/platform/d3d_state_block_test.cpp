#include "d3d_fixture.h"

namespace {

class StateBlockTest : public DeviceTest {
  protected:
    void SetUp() override {
        DeviceTest::SetUp();
        ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &glyphs),
                  S_OK);
        ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &other),
                  S_OK);
    }
    void TearDown() override {
        glyphs->Release();
        other->Release();
        DeviceTest::TearDown();
    }

    // Records a block of text-drawing settings, as the overlay font does.
    DWORD RecordTextStates() {
        EXPECT_EQ(device->BeginStateBlock(), S_OK);
        EXPECT_EQ(device->SetTexture(0, glyphs), S_OK);
        EXPECT_EQ(device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE), S_OK);
        EXPECT_EQ(device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA), S_OK);
        EXPECT_EQ(device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA), S_OK);
        EXPECT_EQ(device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE), S_OK);
        EXPECT_EQ(device->SetRenderState(D3DRS_ALPHAREF, 0x08), S_OK);
        EXPECT_EQ(device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL), S_OK);
        EXPECT_EQ(device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT), S_OK);
        EXPECT_EQ(device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE), S_OK);
        DWORD token = 0;
        EXPECT_EQ(device->EndStateBlock(&token), S_OK);
        EXPECT_NE(token, 0u);
        return token;
    }

    DWORD Render(D3DRENDERSTATETYPE state) {
        DWORD value = 0xDEAD;
        EXPECT_EQ(device->GetRenderState(state, &value), S_OK);
        return value;
    }

    IDirect3DTexture8* Texture0() {
        IDirect3DTexture8* texture = nullptr;
        EXPECT_EQ(device->GetTexture(0, &texture), S_OK);
        if (texture != nullptr) {
            texture->Release();
        }
        return texture;
    }

    ULONG Refs(IDirect3DTexture8* texture) {
        texture->AddRef();
        return texture->Release();
    }

    IDirect3DTexture8* glyphs = nullptr;
    IDirect3DTexture8* other = nullptr;
};

TEST_F(StateBlockTest, RecordingLeavesTheDeviceAlone) {
    RecordTextStates();
    EXPECT_EQ(Render(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(FALSE));
    EXPECT_EQ(Render(D3DRS_ALPHATESTENABLE), static_cast<DWORD>(FALSE));
    EXPECT_EQ(Render(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CCW));
    EXPECT_EQ(Texture0(), nullptr);
}

TEST_F(StateBlockTest, CaptureAndApplyRestoreExactlyTheRecordedStates) {
    DWORD caller = RecordTextStates();
    DWORD font = RecordTextStates();

    // The caller's own states: some recorded, one not.
    device->SetTexture(0, other);
    device->SetRenderState(D3DRS_ALPHAREF, 0x20);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);

    ASSERT_EQ(device->CaptureStateBlock(caller), S_OK);
    ASSERT_EQ(device->ApplyStateBlock(font), S_OK);
    EXPECT_EQ(Texture0(), glyphs);
    EXPECT_EQ(Render(D3DRS_ALPHAREF), 0x08u);
    EXPECT_EQ(Render(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(TRUE));
    EXPECT_EQ(Render(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_NONE));

    // An unrecorded state changed meanwhile is not put back.
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    ASSERT_EQ(device->ApplyStateBlock(caller), S_OK);
    EXPECT_EQ(Texture0(), other);
    EXPECT_EQ(Render(D3DRS_ALPHAREF), 0x20u);
    EXPECT_EQ(Render(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(FALSE));
    EXPECT_EQ(Render(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_ONE));
    EXPECT_EQ(Render(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CW));
    DWORD colourOp = 0;
    device->GetTextureStageState(1, D3DTSS_COLOROP, &colourOp);
    EXPECT_EQ(colourOp, static_cast<DWORD>(D3DTOP_DISABLE));
}

TEST_F(StateBlockTest, DrawingBetweenApplyAndRestoreUsesTheBlockStates) {
    // A glyph texel with little coverage, drawn with the text states, then a
    // point with the caller's states, which are the defaults.
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(glyphs->LockRect(0, &locked, nullptr, 0), S_OK);
    for (int i = 0; i < 4; ++i) {
        static_cast<WORD*>(locked.pBits)[i] = i == 0 ? 0x1FFF : 0x0000;
    }
    ASSERT_EQ(glyphs->UnlockRect(0), S_OK);
    DWORD caller = RecordTextStates();
    DWORD font = RecordTextStates();
    ClearTo(0x0000FF);
    device->CaptureStateBlock(caller);
    device->ApplyStateBlock(font);
    Draw(D3DPT_POINTLIST, 2,
         {Vertex(0, 0, 0xFFFFFFFF, 0.1f, 0.1f), Vertex(1, 0, 0xFFFFFFFF, 0.3f, 0.1f)});
    device->ApplyStateBlock(caller);
    Draw(D3DPT_POINTLIST, 1, {Vertex(2, 0, 0x20FF0000, 0.1f, 0.1f)});
    // Coverage 0x11 blended over blue; coverage 0 fails the alpha test; the
    // plain point is opaque and untextured.
    EXPECT_EQ(Pixel(0, 0), 0x1111FFu);
    EXPECT_EQ(Pixel(1, 0), 0x0000FFu);
    EXPECT_EQ(Pixel(2, 0), 0xFF0000u);
}

TEST_F(StateBlockTest, BlocksHoldTheirTexturesUntilDeleted) {
    ULONG before = Refs(glyphs);
    DWORD token = RecordTextStates();
    EXPECT_EQ(Refs(glyphs), before + 1);
    device->ApplyStateBlock(token);
    EXPECT_EQ(Refs(glyphs), before + 2);
    device->SetTexture(0, nullptr);
    ASSERT_EQ(device->DeleteStateBlock(token), S_OK);
    EXPECT_EQ(Refs(glyphs), before);
    EXPECT_EQ(device->ApplyStateBlock(token), D3DERR_INVALIDCALL);
}

TEST_F(StateBlockTest, InvalidCallsChangeNothing) {
    DWORD token = 0;
    EXPECT_EQ(device->EndStateBlock(&token), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CaptureStateBlock(0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->ApplyStateBlock(99), D3DERR_INVALIDCALL);

    ASSERT_EQ(device->BeginStateBlock(), S_OK);
    EXPECT_EQ(device->BeginStateBlock(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetRenderState(D3DRS_ALPHAREF, 0x100), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetRenderState(D3DRS_CULLMODE, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetTextureStageState(0, D3DTSS_COLOROP, 99), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetTexture(D3D_TEXTURE_STAGES, glyphs), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetRenderState(D3DRS_FOGENABLE, FALSE), S_OK);
    EXPECT_EQ(Draw(D3DPT_POINTLIST, 1, {Vertex(0, 0)}), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->EndStateBlock(nullptr), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->EndStateBlock(&token), S_OK);

    // Only the one valid setting was recorded.
    device->SetRenderState(D3DRS_ALPHAREF, 0x40);
    device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    ASSERT_EQ(device->ApplyStateBlock(token), S_OK);
    EXPECT_EQ(Render(D3DRS_ALPHAREF), 0x40u);
    EXPECT_EQ(Render(D3DRS_FOGENABLE), static_cast<DWORD>(FALSE));
}

} // namespace
