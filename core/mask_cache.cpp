#include "core/mask_cache.h"

#include "core/software_z_buffer.h"

Mask_Cache_Data::Mask_Cache_Data(const Mask_Cache_Data& o)
    : ZT_Counted(o), head(o.head), tail(o.tail), count(o.count), capacity(o.capacity) {
  for (Frame_Buffer_Mask* m = head; m; m = m->next) m->retain();
}

Mask_Cache_Data::~Mask_Cache_Data() { empty(); }

void Mask_Cache_Data::empty() {
  Frame_Buffer_Mask* m = head;
  head = tail = nullptr;
  count = 0;
  while (m) {
    Frame_Buffer_Mask* next = m->next;
    m->release();
    m = next;
  }
}

void Mask_Cache_Data::make_masks_private() {
  bool shared = false;
  for (Frame_Buffer_Mask* m = head; m; m = m->next) shared |= m->reference_count() > 1;
  if (!shared) return;
  // Rebuild the list from copies (or from the masks themselves where this cache
  // is their only holder), in the same order.
  Frame_Buffer_Mask* old = head;
  head = tail = nullptr;
  while (old) {
    Frame_Buffer_Mask* next = old->next;
    Frame_Buffer_Mask* mine = old;
    if (old->reference_count() > 1) {
      mine = static_cast<Frame_Buffer_Mask*>(old->clone());
      mine->retain();
      old->release();
    }
    mine->next = nullptr;
    mine->prev = tail;
    if (tail) tail->next = mine;
    else head = mine;
    tail = mine;
    old = next;
  }
}

void Mask_Cache_Data::unlink(Frame_Buffer_Mask* m) {
  if (m->prev) m->prev->next = m->next;
  else head = m->next;
  if (m->next) m->next->prev = m->prev;
  else tail = m->prev;
  m->next = m->prev = nullptr;
}

void Mask_Cache_Data::push_front(Frame_Buffer_Mask* m) {
  m->prev = nullptr;
  m->next = head;
  if (head) head->prev = m;
  head = m;
  if (!tail) tail = m;
}

Frame_Buffer_Mask* Mask_Cache_Data::lookup(const ZT_Contour_Set& contours, ZT_Int_Point size,
                                           ZT_Int_Point origin) {
  uint32_t stamp = contours.change_stamp();
  if (head && head->contour_stamp == stamp) return head;
  make_masks_private();
  for (Frame_Buffer_Mask* m = head; m; m = m->next) {
    if (m->contour_stamp == stamp) {
      unlink(m);
      push_front(m);
      return m;
    }
  }
  Frame_Buffer_Mask* m;
  if (count >= capacity && tail) {
    // Full: the least recently used mask is rasterised again in place.
    m = tail;
    unlink(m);
  } else {
    m = new Frame_Buffer_Mask();
    m->retain();
    ++count;
  }
  m->establish_configuration(size.x, size.y, origin.x, origin.y);
  m->clear_and_rasterize_mask(contours);
  ++rasterisations;
  push_front(m);
  return m;
}

const Frame_Buffer_Mask* Software_Z_Buffer::mask_for_draw(const ZT_Rendition& rendition) {
  Mask_Cache_Data* cache = mask_cache.get();
  if (!cache) return nullptr;
  const ZT_Rendition_Data& d = *rendition;
  ZT_Contour_Set clip = (d.clip_offset_x < 0 || d.clip_offset_y < 0)
                            ? rendition.shifted_complex_clip()
                            : d.complex_clip;
  if (clip.empty()) return nullptr;
  return cache->lookup(clip, window_size, established_origin);
}
