/* Every resource number of the program, named once. zentora.rc and the code include this
   header, and the build reads it for its list of pictures (cmake/pictures.cmake): the Windows
   resources and the Linux program's embedded pictures alike. A new picture is its
   character-art source resources/<name>.txt and one line here,
       #define PICTURE_<NAME> <number>
   with <NAME> the source's name in capitals; the source's "output" line (.ico or .bmp) makes
   it an icon or a bitmap. The .rc's preprocessor reads this file too: #define lines and
   comments only. */
#ifndef ZENTORA_RESOURCES_RESOURCE_NUMBERS_H
#define ZENTORA_RESOURCES_RESOURCE_NUMBERS_H

/* The program's own icon: the lowest-numbered icon group, so the desktop shows this one. */
#define PICTURE_PROGRAM_ICON 333

/* The record browser's previous and next buttons. */
#define PICTURE_ARROW_LEFT 400
#define PICTURE_ARROW_RIGHT 401

/* The flags beside the two language items of the main menu. */
#define PICTURE_FLAG_SPAIN 404
#define PICTURE_FLAG_UNITED_KINGDOM 405

/* The About box's running figure, one icon per frame; the frames are numbered one after
   another, first to last. */
#define PICTURE_RUNNING_FIGURE_1 701
#define PICTURE_RUNNING_FIGURE_2 702
#define PICTURE_RUNNING_FIGURE_3 703
#define PICTURE_RUNNING_FIGURE_4 704
#define PICTURE_RUNNING_FIGURE_5 705
#define PICTURE_RUNNING_FIGURE_6 706
#define PICTURE_RUNNING_FIGURE_7 707

/* The application manifest the loader reads at start: resource 1 of type 24. */
#define MANIFEST_RESOURCE 1
#define MANIFEST_RESOURCE_TYPE 24

#endif
