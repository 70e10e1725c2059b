#include "media/TextureManager.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "engine/Assert.h"
#include "engine/DataFile.h"
#include "media/MediaBudget.h"
#include "media/RectPacker.h"
#include "media/Sprite.h"
#include "media/SpriteImage.h"
#include "media/TextureLimit.h"

namespace
{
struct PendingSprite
{
    PackRect* rect;
    std::string path;
    bool disc = false; // the generated disc, kept apart from the catalogue's ids
};

void FreePending(std::vector<PendingSprite>& pPending)
{
    for (PendingSprite& p : pPending)
    {
        if (p.rect->image)
            SDL_FreeSurface(p.rect->image);
        delete p.rect;
    }
    pPending.clear();
}

// White inside the polygon the round shapes of the board are made of (32 sides, a corner on
// the x axis), clear outside: a texel counts when its centre is inside.
SDL_Surface* MakeDiscImage()
{
    const int side = CTextureManager::DISC_SIDE;
    SDL_Surface* image =
        SDL_CreateRGBSurface(SDL_SWSURFACE, side, side, 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000);
    if (!image)
        return nullptr;
    const double radius = side * 0.5;
    // Inside a regular polygon: within the inscribed radius along the direction of the side
    // the point's angle falls in.
    const double step = 2.0 * M_PI / CTextureManager::DISC_SIDES;
    SDL_LockSurface(image);
    for (int y = 0; y < side; ++y)
    {
        Uint32* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(image->pixels) + y * image->pitch);
        for (int x = 0; x < side; ++x)
        {
            const double dx = x + 0.5 - radius;
            const double dy = y + 0.5 - radius;
            double angle = std::atan2(dy, dx);
            if (angle < 0.0)
                angle += 2.0 * M_PI;
            const double middle = (std::floor(angle / step) + 0.5) * step;
            const double along = dx * std::cos(middle) + dy * std::sin(middle);
            row[x] = along < radius * std::cos(step * 0.5) ? 0xFFFFFFFFu : 0u;
        }
    }
    SDL_UnlockSurface(image);
    // The blit onto the page copies alpha as it is.
    SDL_SetAlpha(image, 0, 0);
    return image;
}

// Copies an image onto the page with its top-left texel at (pX, pY), converted to RGBA bytes
// the way a blit without blending does: alpha copied, or opaque for an image without it.
void CopyOntoPage(SDL_Surface* pImage, Uint32* pPage, int pSide, int pX, int pY)
{
    SDL_Surface* tile = SDL_CreateRGBSurface(SDL_SWSURFACE, pImage->w, pImage->h, 32, 0x000000FF, 0x0000FF00,
                                             0x00FF0000, 0xFF000000);
    // Without memory for the copy the sprite's place stays clear.
    if (!tile)
        return;
    SDL_FillRect(tile, nullptr, 0);
    SDL_UpperBlit(pImage, nullptr, tile, nullptr);
    SDL_LockSurface(tile);
    for (int row = 0; row < tile->h; ++row)
        std::memcpy(pPage + static_cast<size_t>(pY + row) * pSide + pX,
                    static_cast<const Uint8*>(tile->pixels) + static_cast<size_t>(row) * tile->pitch,
                    static_cast<size_t>(tile->w) * 4);
    SDL_UnlockSurface(tile);
    SDL_FreeSurface(tile);
}

std::string EntryName(int pIndex, const char* pId, const char* pPath)
{
    std::string name = "sprite entry " + std::to_string(pIndex);
    if (pId)
        name += std::string(" '") + pId + "'";
    if (pPath)
        name += std::string(" (") + pPath + ")";
    return name;
}
} // namespace

CTextureManager* CTextureManager::GetInstance()
{
    static CTextureManager* instance = new CTextureManager;
    return instance;
}

bool CTextureManager::Load(TiXmlElement* pXMLElement)
{
    AW_ASSERT(pXMLElement);
    // Loading is meant for an empty manager; start from one in any case so nothing leaks.
    Clear();
    m_lastError.clear();

    std::vector<PendingSprite> pending; // document order
    CRectPacker packer;
    const int maxSide = std::min(GetMaxTextureSide(), ATLAS_SIDE_LIMIT);
    size_t decodedBytes = 0;
    int index = 0;
    for (TiXmlElement* e = pXMLElement->FirstChildElement("sprite"); e; e = e->NextSiblingElement("sprite"))
    {
        ++index;
        const char* path = e->Attribute("filepath");
        const char* id = e->Attribute("id");
        if (!path || !id)
        {
            m_lastError = EntryName(index, id, path) + (path ? " has no id" : " has no filepath");
            FreePending(pending);
            return false;
        }
        std::vector<unsigned char> bytes;
        std::string why;
        SDL_Surface* image = nullptr;
        ImageHeader header;
        if (ReadDataFile(path, MEDIA_FILE_LIMIT, bytes, why))
        {
            if (CheckSpriteHeader(bytes.data(), bytes.size(), path, header, why))
            {
                const std::string over = SpriteOverBudget(header, maxSide, decodedBytes);
                if (!over.empty())
                {
                    m_lastError = std::string("sprite '") + id + "' (" + path + ") " + over;
                    FreePending(pending);
                    return false;
                }
                image = DecodeSpriteImage(bytes.data(), bytes.size(), path, why);
            }
            why = std::string("cannot load ") + path + ": " + why;
        }
        if (!image)
        {
            m_lastError = std::string("sprite '") + id + "': " + why;
            FreePending(pending);
            return false;
        }
        // Without the blending flag the blit copies the pixels, alpha included, unchanged.
        SDL_SetAlpha(image, 0, 0);
        PackRect* rect = new PackRect;
        rect->w = image->w;
        rect->h = image->h;
        rect->image = image;
        rect->id = id;
        pending.push_back(PendingSprite{rect, path});
        packer.AddRect(rect);
    }

    packer.AddFreeSlot(FreeSlot{false, 1, 1, maxSide - 2, maxSide - 2});
    // Only an unplaced image counts: an empty block packs to a page of side 0.
    packer.Pack(1, 1);
    for (const PendingSprite& p : pending)
    {
        if (!p.rect->placed)
        {
            // It would land on the page origin over another image: refuse instead.
            m_lastError = "sprite '" + p.rect->id + "' (" + p.path + ") does not fit in the atlas";
            FreePending(pending);
            return false;
        }
    }

    int side = packer.GetSize();
    // The disc goes where the art left room, never growing the page, and stays out of the
    // table. Without room the round shapes are drawn as triangle fans.
    if (side > 0)
    {
        PackRect* disc = new PackRect;
        disc->w = disc->h = DISC_SIDE;
        if (packer.PlaceWithinPage(disc, 1) && (disc->image = MakeDiscImage()) != nullptr)
            pending.push_back(PendingSprite{disc, "(disc)", true});
        else
            delete disc;
    }
    // The page is a buffer of our own: the surface library refuses surfaces 16384 wide, which
    // OpenGL takes. Texels are RGBA bytes, as the images are converted below.
    std::vector<Uint32> page(static_cast<size_t>(side) * side, 0);
    m_pageSide = side;
    GLuint texture = 0;
    glGenTextures(1, &texture);
    m_texture = texture;

    float pageSide = static_cast<float>(side);
    for (PendingSprite& p : pending)
    {
        PackRect* r = p.rect;
        CopyOntoPage(r->image, page.data(), side, r->x, r->y);
        const float contentRadius = ContentRadius(r->image);
        SDL_FreeSurface(r->image);
        r->image = nullptr;

        CSprite* sprite =
            new CSprite(static_cast<float>(r->x), static_cast<float>(r->y), static_cast<float>(r->w),
                        static_cast<float>(r->h), m_texture, pageSide, pageSide);
        sprite->SetContentRadius(contentRadius);
        if (p.disc)
        {
            m_disc = sprite;
            delete r;
            continue;
        }
        auto it = m_sprites.find(r->id);
        if (it != m_sprites.end())
        {
            delete it->second;
            it->second = sprite;
        }
        else
        {
            m_sprites[r->id] = sprite;
        }
        delete r;
    }
    pending.clear();

    glBindTexture(GL_TEXTURE_2D, m_texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, m_smoothMinify ? GL_LINEAR : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexImage2D(GL_TEXTURE_2D, 0, 4, side, side, 0, GL_RGBA, GL_UNSIGNED_BYTE, page.data());
    FindPlainTexel(page.data(), side);
    return true;
}

void CTextureManager::SetSmoothMinify(bool pSmooth)
{
    m_smoothMinify = pSmooth;
    if (m_texture == 0)
        return;
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, pSmooth ? GL_LINEAR : GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void CTextureManager::FindPlainTexel(const Uint32* pPage, int pSide)
{
    m_hasPlainTexel = false;
    const float side = static_cast<float>(pSide);
    for (int y = 0; y < pSide; ++y)
    {
        const Uint32* row = pPage + static_cast<size_t>(y) * pSide;
        for (int x = 0; x < pSide; ++x)
        {
            if (row[x] == 0xFFFFFFFFu)
            {
                // The texel's centre: nearest sampling reads exactly this one.
                m_plainU = (static_cast<float>(x) + 0.5f) / side;
                m_plainV = (static_cast<float>(y) + 0.5f) / side;
                m_hasPlainTexel = true;
                return;
            }
        }
    }
}

bool CTextureManager::GetPlainTexel(unsigned pTexture, float& pU, float& pV) const
{
    if (!m_hasPlainTexel || pTexture != m_texture || m_texture == 0)
        return false;
    pU = m_plainU;
    pV = m_plainV;
    return true;
}

CSprite* CTextureManager::GetSprite(const char* pId) const
{
    if (!pId)
        return nullptr;
    auto it = m_sprites.find(pId);
    return it == m_sprites.end() ? nullptr : it->second;
}

void CTextureManager::Clear()
{
    if (m_texture != 0)
    {
        GLuint texture = m_texture;
        glDeleteTextures(1, &texture);
        m_texture = 0;
    }
    for (auto& entry : m_sprites)
        delete entry.second;
    m_sprites.clear();
    delete m_disc;
    m_disc = nullptr;
    m_pageSide = 0;
    m_hasPlainTexel = false;
}

CTextureManager::~CTextureManager()
{
    Clear();
}
