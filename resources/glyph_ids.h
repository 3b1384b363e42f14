/* Resource ids of the images of the toolbar and the ribbon; shared by the
   resource script and the toolbar and ribbon definitions. Each image is drawn
   at every size of image_sizes.h: the bitmap of one size is the id times 100
   plus the size (32-bit, with alpha). */
#pragma once
#define IDB_GLYPH_SAVE 101
#define IDB_GLYPH_INSERT 102
#define IDB_GLYPH_OPTIONS 103
#define IDB_GLYPH_CUSTOMER 104
#define IDB_GLYPH_INFO 105
