#include "nodes/NodeMedia.h"

#include <map>

#include "engine/GameEngine.h"
#include "media/TextureManager.h"
#include "nodes/Entity.h"
#include "world/GameWorld.h"

namespace
{
std::map<std::string, CSprite*>& SpriteCache()
{
    static std::map<std::string, CSprite*>* cache = new std::map<std::string, CSprite*>;
    return *cache;
}

std::function<void(const NodeGraphic&)>& GraphicObserver()
{
    static std::function<void(const NodeGraphic&)>* observer = new std::function<void(const NodeGraphic&)>;
    return *observer;
}
} // namespace

CSprite* FindNodeSprite(const std::string& pId)
{
    std::map<std::string, CSprite*>& cache = SpriteCache();
    auto found = cache.find(pId);
    if (found != cache.end())
        return found->second;
    CSprite* sprite = CTextureManager::GetInstance()->GetSprite(pId.c_str());
    cache[pId] = sprite;
    return sprite;
}

CSprite* FindTeamSprite(const char* pPrefix, int pTeam)
{
    return FindNodeSprite(std::string(pPrefix) + TeamSpriteSuffix(pTeam));
}

void OverrideNodeSprite(const std::string& pId, CSprite* pSprite)
{
    SpriteCache()[pId] = pSprite;
}

void ForgetNodeSprites()
{
    SpriteCache().clear();
}

void AddNodeGraphic(const NodeGraphic& pGraphic)
{
    TheWorld().AddGraphic(pGraphic.sprite, pGraphic.position, pGraphic.angle, pGraphic.colour,
                          pGraphic.lifetime, pGraphic.velocity);
    if (GraphicObserver())
        GraphicObserver()(pGraphic);
}

void SetNodeGraphicObserver(std::function<void(const NodeGraphic&)> pObserver)
{
    GraphicObserver() = std::move(pObserver);
}
