#include <GL/gl.h>
#include <gtest/gtest.h>

#include "engine/GameEngine.h"
#include "media/Sprite.h"
#include "nodes/AbsorberNode.h"
#include "nodes/BeamNode.h"
#include "nodes/NodeMedia.h"
#include "nodes/ShieldNode.h"
#include "support/TestWindow.h"
#include "world/GameWorld.h"

// The beam, the shield's glow and the absorber's halo drawn into the real window.
namespace
{
class CPowerStub : public CEntity
{
  public:
    void Draw() override {}
};

class WeaponDrawTest : public ::testing::Test
{
  protected:
    CGameWorld& m_world = TheWorld();
    CPowerStub m_source;
    // Untextured stand-ins: texture 0 draws a plain rectangle in the current colour.
    CSprite m_bar{0.0f, 0.0f, 20.0f, 4.0f, 0, 256.0f, 256.0f};

    void SetUp() override
    {
        ASSERT_TRUE(OpenTestWindow()) << "needs an X display";
        ClearTestWindow(0.0f, 0.0f, 0.0f);
        m_world.ClearMatch();
        for (int t = 0; t < CTeam::MAX_TIDS; ++t)
            m_world.GetTeam(t).Init(t);
        m_world.GetTeam(1).AddEnergy(CTeam::ENERGY_MAX);
        ForgetNodeSprites();
        for (const char* id : {"Beamgun_Green", "Shield_Green", "Abs_Green"})
            OverrideNodeSprite(id, nullptr);
    }

    void TearDown() override
    {
        ForgetNodeSprites();
        m_world.ClearMatch();
    }

    static void ExpectPixel(int pX, int pY, int pR, int pG, int pB)
    {
        TestPixel p = ReadTestPixel(pX, pY);
        EXPECT_NEAR(pR, p.r, 3) << pX << "," << pY;
        EXPECT_NEAR(pG, p.g, 3) << pX << "," << pY;
        EXPECT_NEAR(pB, p.b, 3) << pX << "," << pY;
    }

    template <class T> void Prepare(T& pNode, CVector2 pAt, bool pPowered)
    {
        pNode.SetTeam(1);
        pNode.SetPosition(pAt);
        if (pPowered)
            pNode.SetParent(&m_source);
    }
};

TEST_F(WeaponDrawTest, AWarmBeamIsARedCoreWithFadingEdges)
{
    CBeamNode beam;
    Prepare(beam, CVector2(100.0f, 400.0f), true);
    for (int i = 0; i < 940; ++i)
        beam.Update(16);
    ASSERT_TRUE(beam.IsActive());
    beam.Draw();
    glFinish();
    // Alpha 0.9 at the core, two pixel rows; about 0.39 one row out; nothing two rows out.
    ExpectPixel(300, 400, 230, 46, 46);
    ExpectPixel(300, 399, 230, 46, 46);
    ExpectPixel(300, 401, 98, 20, 20);
    ExpectPixel(300, 398, 98, 20, 20);
    ExpectPixel(300, 403, 0, 0, 0);
    ExpectPixel(300, 396, 0, 0, 0);
    // It starts at the emitter's rim, not its centre.
    ExpectPixel(106, 400, 0, 0, 0);
    ExpectPixel(110, 400, 230, 46, 46);
}

TEST_F(WeaponDrawTest, AColdOrUnpoweredBeamIsFaintOrAbsent)
{
    CBeamNode cold;
    Prepare(cold, CVector2(100.0f, 300.0f), true);
    cold.SetAngle(90.0f);
    cold.Update(16);
    CBeamNode dark;
    Prepare(dark, CVector2(500.0f, 300.0f), false);
    dark.SetAngle(90.0f);
    dark.Update(16);
    cold.Draw();
    dark.Draw();
    glFinish();
    // Alpha 0.2 and a hair: a faint line going up.
    ExpectPixel(100, 500, 51, 10, 10);
    ExpectPixel(500, 500, 0, 0, 0);
}

TEST_F(WeaponDrawTest, TheGlowShowsOnlyOnAnActiveShieldTurnedWithItsFacing)
{
    OverrideNodeSprite("Shield_Glow", &m_bar);
    CShieldNode active;
    Prepare(active, CVector2(200.0f, 200.0f), true);
    active.SetAngle(0.0f);
    active.Update(16);
    CShieldNode inactive;
    Prepare(inactive, CVector2(600.0f, 200.0f), false);
    inactive.Update(16);
    ASSERT_TRUE(active.IsActive());
    ASSERT_FALSE(inactive.IsActive());
    active.Draw();
    inactive.Draw();
    glFinish();
    // The art faces up, so a shield facing +x turns the wide bar upright.
    ExpectPixel(200, 207, 255, 255, 255);
    ExpectPixel(207, 200, 0, 0, 0);
    ExpectPixel(600, 200, 0, 0, 0);
}

TEST_F(WeaponDrawTest, ABlastingAbsorberWearsARedHalo)
{
    CAbsorberNode absorber;
    Prepare(absorber, CVector2(500.0f, 500.0f), true);
    for (int i = 0; i < 300; ++i)
    {
        absorber.TakeDamage(16000, CVector2(490.0f, 500.0f), DAMAGE_BEAM, nullptr);
        absorber.Update(16);
    }
    ASSERT_GT(absorber.GetCurrentBlast(), 29.9f);
    absorber.Draw();
    glFinish();
    // Two layers of 0.3 inside 10 + 25 pixels, one layer out to 10 + 30.
    ExpectPixel(520, 500, 130, 13, 13);
    ExpectPixel(537, 500, 77, 8, 8);
    ExpectPixel(542, 500, 0, 0, 0);
}
} // namespace
