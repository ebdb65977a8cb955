// SPDX-License-Identifier: GPL-2.0
/*
 * Stands in for the SoC vendor's ADC3101 codec driver on the virtual board: binds to the codec's
 * I2C client and gives it the two attributes the library writes, each keeping and showing the
 * last text written to it. What the real driver accepts and how it drives the codec is the
 * vendor's; this one only makes the kernel's sysfs behave as it does for such attributes.
 *
 * without_show=NAME leaves that attribute without a show method and with mode 0200, as a driver
 * declaring it write-only (__ATTR_WO) does. Each write is logged to the kernel's log.
 */
#include <linux/device.h>
#include <linux/i2c.h>
#include <linux/module.h>
#include <linux/mutex.h>
#include <linux/of.h>
#include <linux/string.h>

static char *without_show = "";
module_param(without_show, charp, 0444);
MODULE_PARM_DESC(without_show, "attribute to leave without a show method");

#define VALUE_SIZE 32

struct standin {
	struct mutex lock;
	char mute[VALUE_SIZE];
	char vol[VALUE_SIZE];
};

static char *value_of(struct device *dev, struct device_attribute *attr)
{
	struct standin *s = dev_get_drvdata(dev);

	return strcmp(attr->attr.name, "adc3101_mute_ctl") == 0 ? s->mute : s->vol;
}

static ssize_t value_show(struct device *dev, struct device_attribute *attr, char *buf)
{
	struct standin *s = dev_get_drvdata(dev);
	ssize_t n;

	mutex_lock(&s->lock);
	n = sysfs_emit(buf, "%s\n", value_of(dev, attr));
	mutex_unlock(&s->lock);
	return n;
}

static ssize_t value_store(struct device *dev, struct device_attribute *attr, const char *buf,
			   size_t count)
{
	struct standin *s = dev_get_drvdata(dev);
	size_t n = count;

	while (n > 0 && (buf[n - 1] == '\n' || buf[n - 1] == '\0'))
		n--;
	if (n >= VALUE_SIZE)
		return -EINVAL;
	mutex_lock(&s->lock);
	memcpy(value_of(dev, attr), buf, n);
	value_of(dev, attr)[n] = '\0';
	mutex_unlock(&s->lock);
	/* The record of every write, which a write-only attribute cannot show. */
	dev_info(dev, "%s <- \"%.*s\"\n", attr->attr.name, (int)n, buf);
	return count;
}

static struct device_attribute attributes[] = {
	__ATTR(adc3101_mute_ctl, 0644, value_show, value_store),
	__ATTR(adc3101_vol_ctl, 0644, value_show, value_store),
};

static int standin_probe(struct i2c_client *client)
{
	struct standin *s;
	int i, ret;

	s = devm_kzalloc(&client->dev, sizeof(*s), GFP_KERNEL);
	if (!s)
		return -ENOMEM;
	mutex_init(&s->lock);
	i2c_set_clientdata(client, s);
	for (i = 0; i < ARRAY_SIZE(attributes); i++) {
		if (strcmp(attributes[i].attr.name, without_show) == 0) {
			attributes[i].show = NULL;
			attributes[i].attr.mode = 0200;
		}
		ret = device_create_file(&client->dev, &attributes[i]);
		if (ret) {
			while (i-- > 0)
				device_remove_file(&client->dev, &attributes[i]);
			return ret;
		}
	}
	return 0;
}

static void standin_remove(struct i2c_client *client)
{
	int i;

	for (i = 0; i < ARRAY_SIZE(attributes); i++)
		device_remove_file(&client->dev, &attributes[i]);
}

static const struct i2c_device_id standin_ids[] = {
	{ "adc3101", 0 },
	{}
};

static const struct of_device_id standin_of_ids[] = {
	{ .compatible = "quorin,adc3101" },
	{}
};

static struct i2c_driver standin_driver = {
	.driver = {
		.name = "adc3101_standin",
		.of_match_table = standin_of_ids,
	},
	.probe_new = standin_probe,
	.remove = standin_remove,
	.id_table = standin_ids,
};
module_i2c_driver(standin_driver);

MODULE_DESCRIPTION("ADC3101 codec stand-in for the virtual board");
MODULE_LICENSE("GPL");
