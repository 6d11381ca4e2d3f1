#ifndef SAMPLE_CONFIG_H
#define SAMPLE_CONFIG_H

#define SAMPLE_NAME "sample"
#define SAMPLE_VERSION 3

#endif
