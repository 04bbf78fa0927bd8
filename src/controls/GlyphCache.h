#pragma once

#include "controls/ILRUCache.h"
#include "controls/KpSmartGlyph.h"

#include <QString>
#include <memory>

// Glyphs rendered at a size and resolution are pooled: a user takes one out of the
// shared cache (or has it made), draws with it and hands it back, after which it is the
// most recently used entry. The cache holds at most GlyphCacheCapacity glyphs.
using TGlyphPtr = std::unique_ptr<TKpSmartGlyph>;
using TGlyphCache = ILRUCache<QString, TGlyphPtr>;

constexpr int GlyphCacheCapacity = 100;

// NAME:width:height:DPI, followed by ":R" for a glyph rendered to exactly that size.
QString GlyphCacheKey(const QString& AName, int AWidth, int AHeight, int ADPI, bool ARender);

// The shared cache, created on first use.
std::shared_ptr<TGlyphCache> GlyphCache();
// Whether the shared cache exists (it is dropped at shut-down).
bool GlyphCacheExists();
// Drops the shared cache with every glyph it holds; glyphs handed back later are freed.
void FreeGlyphCache();

// A glyph of the name at that size and resolution, owned by the caller until handed back.
TGlyphPtr AcquireGlyph(const QString& AName, int AWidth, int AHeight, int ADPI, bool ARender);
// Hands the glyph back to the cache (replacing one of the same key); clears AGlyph.
void ReleaseGlyph(const QString& AName, bool ARender, TGlyphPtr& AGlyph);
// Makes such a glyph: loads the image, scales it to the resolution and, when asked or
// when its size differs, renders it centred into a transparent bitmap of exactly
// AWidth x AHeight, shrunk to fit with its proportions kept (never enlarged).
TGlyphPtr CreateScaledGlyph(const QString& AName, int AWidth, int AHeight, int ADPI, bool ARender);
