// Each actor type's fields by name, in one place for the state dump (JSON
// objects) and the replay checks (hashes, in this order). A field marked
// dump_only is checked on its own elsewhere (the scores and lives); one
// marked check_only is left out of the dump, whose shape the recorded final
// states fix.
#pragma once

#include "world/crawler.h"
#include "world/effects.h"
#include "world/insect.h"
#include "world/mushroom.h"
#include "world/player.h"

enum class FieldUse { both, dump_only, check_only };

template <typename Visit>
void fields(const player_tag& p, Visit&& field) {
  field("score", p.score, FieldUse::dump_only);
  field("lives", p.lives, FieldUse::dump_only);
  field("state", p.state, FieldUse::both);
  field("x", p.x, FieldUse::both);
  field("y", p.y, FieldUse::both);
  field("shoot", p.shoot, FieldUse::both);
  field("shotx", p.shotx, FieldUse::both);
  field("shoty", p.shoty, FieldUse::both);
  field("dthctr", p.dthctr, FieldUse::both);
}

template <typename Visit>
void fields(const mushroom_tag& m, Visit&& field) {
  field("x", m.x, FieldUse::both);
  field("y", m.y, FieldUse::both);
  field("img", m.img, FieldUse::both);
  field("hit", m.hit, FieldUse::both);
}

template <typename Visit>
void fields(const vermix_tag& s, Visit&& field) {
  field("x", s.x, FieldUse::both);
  field("y", s.y, FieldUse::both);
  field("rot", s.rot, FieldUse::both);
  field("head", s.head, FieldUse::both);
  field("pvdir", s.pvdir, FieldUse::both);
  field("phdir", s.phdir, FieldUse::both);
  field("dst", s.dst, FieldUse::both);
  field("ftmr", s.ftmr, FieldUse::both);
  field("fctr", s.fctr, FieldUse::both);
}

template <typename Visit>
void fields(const insect_tag& i, Visit&& field) {
  field("typ", i.typ, FieldUse::both);
  field("state", i.state, FieldUse::both);
  field("x", i.x, FieldUse::both);
  field("y", i.y, FieldUse::both);
  field("rot", i.rot, FieldUse::both);
  field("dir", i.dir, FieldUse::check_only);
  field("xstp", i.xstp, FieldUse::both);
  field("ystp", i.ystp, FieldUse::both);
  field("ftmr", i.ftmr, FieldUse::both);
  field("fctr", i.fctr, FieldUse::both);
  field("tmr", i.tmr, FieldUse::both);
  field("dist", i.dist, FieldUse::both);
}

// The dump counts the particles only.
template <typename Visit>
void fields(const particle_tag& p, Visit&& field) {
  field("x", p.x, FieldUse::check_only);
  field("y", p.y, FieldUse::check_only);
  field("xstp", p.xstp, FieldUse::check_only);
  field("ystp", p.ystp, FieldUse::check_only);
  field("sc", p.sc, FieldUse::check_only);
  field("clrid", p.clrid, FieldUse::check_only);
}

template <typename Visit>
void fields(const points_tag& p, Visit&& field) {
  field("x", p.x, FieldUse::both);
  field("y", p.y, FieldUse::both);
  field("pnt", p.pnt, FieldUse::both);
  field("tmr", p.tmr, FieldUse::both);
}
